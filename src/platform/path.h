#pragma once

#include <string>
#include <string_view>

namespace platform {

// The one separator the whole program puts between folder and file names: "/" on POSIX, "\" on
// Windows, defined by the system's source.
extern const char kPathSeparator;

// The characters that make a name reach outside the folder it is joined to: "/" on POSIX; "\", "/" and
// the drive's ":" on Windows.
extern const std::string_view kPathDelimiters;

// True for a name that, joined to a folder, names a file directly in it: not "." or "..", and free of
// kPathDelimiters and NUL bytes.
[[nodiscard]] inline bool IsPlainFileName(std::string_view name) {
  return name != "." && name != ".." && name.find_first_of(kPathDelimiters) == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

// folder + separator + name: the way every path below the application folder is formed.
[[nodiscard]] inline std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += kPathSeparator;
  path += name;
  return path;
}

}  // namespace platform
