#pragma once

#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace testing_support {

// A descriptor's four flags: which of heading, stop, visibility and lateral distance it uses.
inline constexpr const char* kAllParameters = "True\r\nTrue\r\nTrue\r\nTrue\r\n";
inline constexpr const char* kHeadingAndVisibility = "True\r\nFalse\r\nTrue\r\nFalse\r\n";
inline constexpr const char* kNoParameters = "False\r\nFalse\r\nFalse\r\nFalse\r\n";

// Writes vgds_source/FILE.vgp below app: the flags, the list name, the picture, FILE.asm as the source,
// the reserved line and the description.
inline void AddTemplate(const TempFolder& app, const std::string& file, const char* flags, const std::string& name,
                        const std::string& picture = "none.png", const std::string& description = "") {
  app.Write("vgds_source/" + file + ".vgp",
            flags + name + "\r\n" + picture + "\r\n" + file + ".asm\r\nreserved\r\n" + description);
}

// The built application folder's templates and compiler (or another compiler) copied to app, with its
// program when one is named.
inline void CopyApplicationFolder(const std::filesystem::path& built, const std::filesystem::path& app,
                                  const std::filesystem::path& compiler = {}, const std::string& program = {}) {
  namespace fs = std::filesystem;
  fs::create_directories(app / "tools");
  fs::copy(built / "vgds_source", app / "vgds_source", fs::copy_options::recursive);
  fs::copy_file(compiler.empty() ? built / "tools" / "bglc_9.exe" : compiler, app / "tools" / "bglc_9.exe");
  if (!program.empty()) fs::copy_file(built / program, app / program);
}

}  // namespace testing_support
