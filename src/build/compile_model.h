#pragma once

#include <string>

#include "build/build_host.h"
#include "build/compile_log.h"
#include "runner/dos_outputs.h"

namespace build {

// "APP/tools/bglc_9.exe" "APP/tools/SOURCE" "OUTPUT": three double-quoted arguments, one space
// between them. Throws std::invalid_argument naming the path when appFolder or outputPath holds a
// double quote, which could not travel as one quoted argument.
[[nodiscard]] std::string CompilerCommandLine(const std::string& appFolder, const std::string& sourceFile,
                                              const std::string& outputPath);

// Step 6 of the build: empties (or creates) tools/compile.log, shows "Compiling ...", runs the
// compiler through objDOS (whose ReceiveOutputs the log's owner has connected to log.Append), puts
// back "Create new MDL" and closes the log. The compiler's own result is not looked at. Throws, with
// the file and the reason, when the command line cannot be formed (before anything is written), when
// the log cannot be created (before the caption changes) or written; the caption is restored and the
// log closed whenever they were changed or opened.
void CompileModel(BuildHost& host, const std::string& appFolder, const std::string& sourceFile,
                  const std::string& outputPath, runner::DOSOutputs& objDOS, CompileLog& log);

}  // namespace build
