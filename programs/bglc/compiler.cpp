#include "bglc/compiler.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include "bglc/assembler.h"
#include "bglc/mdl_file.h"

namespace bglc {
namespace {

constexpr const char* kProgramName = "bglc_9";

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

// A failed run leaves nothing at the output path that could pass for this build's model.
void RemoveOldModel(const std::string& output, std::ostream& err) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(output, error)) return;
  if (std::filesystem::remove(output, error)) {
    err << kProgramName << ": the old model \"" << output << "\" was removed\n";
  } else if (error) {
    err << output << ": error: cannot remove the old model: " << error.message() << '\n';
  }
}

}  // namespace

int RunCompiler(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() != 2) {
    err << "usage: " << kProgramName << ".exe SOURCE.asm OUTPUT.mdl\n";
    return 1;
  }
  const std::string& source = arguments[0];
  const std::string& output = arguments[1];
  if (SameFile(source, output)) {
    err << output << ": error: the output path is the source file itself; nothing written\n";
    return 1;
  }

  const Assembly assembly = Assemble(source, DiskSourceFiles{});
  const auto collision = std::find_if(assembly.filesRead.begin(), assembly.filesRead.end(),
                                      [&](const std::string& file) { return SameFile(file, output); });
  if (collision != assembly.filesRead.end()) {
    err << output << ": error: the output path is the source file \"" << *collision << "\"; nothing written\n";
    return 1;
  }
  if (!assembly.ok()) {
    for (const auto& diagnostic : assembly.errors) err << FormatDiagnostic(diagnostic) << '\n';
    err << kProgramName << ": " << assembly.errors.size() << " error(s); no model written\n";
    RemoveOldModel(output, err);
    return 1;
  }

  std::size_t written = 0;
  try {
    const std::vector<std::uint8_t> file = MdlFileBytes(assembly.data);
    WriteFileReplacing(output, file);
    written = file.size();
  } catch (const std::exception& failure) {
    err << kProgramName << ": error: " << failure.what() << '\n';
    RemoveOldModel(output, err);
    return 1;
  }
  out << kProgramName << ": " << assembly.data.size() << " bytes of model data from " << assembly.filesRead.size()
      << " source file(s)\n"
      << kProgramName << ": wrote " << written << " bytes to \"" << output << "\"\n";
  return 0;
}

}  // namespace bglc
