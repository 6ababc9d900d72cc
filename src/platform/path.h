#pragma once

#include <string>
#include <string_view>

namespace platform {

// The one separator the whole program puts between folder and file names: "/" on POSIX, "\" on
// Windows, defined by the system's source.
extern const char kPathSeparator;

// folder + separator + name: the way every path below the application folder is formed.
[[nodiscard]] inline std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += kPathSeparator;
  path += name;
  return path;
}

}  // namespace platform
