// Template sources come from packs the user downloads and from the tool's own rewrite: the compiler
// must assemble or refuse any bytes, never crash or run away, and never hand out data with errors.
// The input holds several sources: the text up to the first line "%%file NAME" is main.asm, each such
// line starts the file NAME, so includes, cycles and repeats get exercised too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bglc/assembler.h"
#include "bglc/mdl_file.h"

namespace {

void AddFiles(std::string_view input, bglc::MemorySourceFiles& files) {
  constexpr std::string_view kMarker = "%%file ";
  std::string name = "main.asm";
  std::string text;
  while (!input.empty()) {
    const std::size_t end = input.find('\n');
    const std::string_view line = input.substr(0, end == std::string_view::npos ? input.size() : end + 1);
    input.remove_prefix(line.size());
    if (line.substr(0, kMarker.size()) == kMarker) {
      files.Add(name, text);
      name = std::string(line.substr(kMarker.size()));
      while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
      text.clear();
    } else {
      text += line;
    }
  }
  files.Add(name, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bglc::MemorySourceFiles files;
  AddFiles(std::string_view(reinterpret_cast<const char*>(data), size), files);
  // Tighter than the compiler's own limits, so that reaching them stays quick.
  const bglc::Limits limits{.includeDepth = 16, .sourceLines = 100'000, .dataBytes = 1u << 20, .errors = 100};
  const bglc::Assembly assembly = bglc::Assemble("main.asm", files, limits);
  if (!assembly.ok() && !assembly.data.empty()) std::abort();
  if (assembly.errors.size() > limits.errors + 1 || assembly.data.size() > limits.dataBytes) std::abort();
  for (const auto& error : assembly.errors) {
    if (error.message.empty() || bglc::FormatDiagnostic(error).find(": error: ") == std::string::npos) std::abort();
  }
  if (assembly.ok()) {
    const auto file = bglc::MdlFileBytes(assembly.data);
    if (file.size() != bglc::kModelDataOffset + assembly.data.size() + assembly.data.size() % 2) std::abort();
  }
  return 0;
}
