#include "build/compile_model.h"

#include <stdexcept>

#include "build/build_failure.h"
#include "build/build_sequence.h"
#include "build/tools_folder.h"

namespace build {
namespace {

std::string QuotedArgument(const std::string& path, std::string_view what) {
  if (path.find('"') != std::string::npos) {
    throw std::invalid_argument("Could not start the compiler: the " + std::string(what) + " " + path +
                                " contains a double quote (\"), which cannot be passed on the compiler's "
                                "command line. Please choose a path without one.");
  }
  return Quoted(path);
}

// Puts the button's caption back however the compile ends.
class CaptionRestorer {
 public:
  explicit CaptionRestorer(BuildHost& host) : host_(host) {}
  ~CaptionRestorer() {
    try {
      host_.SetCreateCaption(std::string(kCreateCaption));
    } catch (...) {
      // A caption that cannot be set must not hide the failure that ended the compile.
    }
  }
  CaptionRestorer(const CaptionRestorer&) = delete;
  CaptionRestorer& operator=(const CaptionRestorer&) = delete;

 private:
  BuildHost& host_;
};

}  // namespace

std::string CompilerCommandLine(const std::string& appFolder, const std::string& sourceFile,
                                const std::string& outputPath) {
  (void)QuotedArgument(appFolder, "application folder");  // named as such before the paths built on it
  std::string commandLine = QuotedArgument(ToolsFilePath(appFolder, kCompilerName), "compiler");
  commandLine += " " + QuotedArgument(ToolsFilePath(appFolder, sourceFile), "template source");
  commandLine += " " + QuotedArgument(outputPath, "output file");
  return commandLine;
}

void CompileModel(BuildHost& host, const std::string& appFolder, const std::string& sourceFile,
                  const std::string& outputPath, runner::DOSOutputs& objDOS, CompileLog& log) {
  const auto commandLine = CompilerCommandLine(appFolder, sourceFile, outputPath);
  const auto logPath = ToolsFilePath(appFolder, kCompileLogName);
  try {
    log.Open(logPath);
  } catch (const std::system_error& failure) {
    ThrowBuildFailure("Could not create the compile log " + Quoted(logPath), failure);
  }
  try {
    const CaptionRestorer restorer(host);
    host.SetCreateCaption(std::string(kCompilingCaption));
    objDOS.SetCommandLine(commandLine);
    (void)objDOS.ExecuteCommand(std::string());
  } catch (...) {
    try {
      log.Close();
    } catch (const std::system_error&) {
      // The failure that ended the compile is the one to report.
    }
    throw;
  }
  try {
    log.Close();
  } catch (const std::system_error& failure) {
    ThrowBuildFailure("Could not write the compile log " + Quoted(logPath), failure);
  }
}

}  // namespace build
