#pragma once

#include <string>
#include <string_view>

#include "platform/path.h"

namespace build {

// The folder beside the program where the compiler lies and every build does its work.
inline constexpr std::string_view kToolsFolder = "tools";
inline constexpr std::string_view kCompilerName = "bglc_9.exe";
inline constexpr std::string_view kScratchName = "temp.asm";
inline constexpr std::string_view kCompileLogName = "compile.log";

// "appFolder/tools"
[[nodiscard]] inline std::string ToolsFolderPath(std::string_view appFolder) {
  return platform::JoinPath(appFolder, kToolsFolder);
}

// "appFolder/tools/name"
[[nodiscard]] inline std::string ToolsFilePath(std::string_view appFolder, std::string_view name) {
  return platform::JoinPath(ToolsFolderPath(appFolder), name);
}

}  // namespace build
