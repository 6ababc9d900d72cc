#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The one separator the whole program puts between folder and file names: "/" on POSIX, "\" on
// Windows, defined by the system's source.
extern const char kPathSeparator;

// The characters that make a name reach outside the folder it is joined to: "/" on POSIX; "\", "/" and
// the drive's ":" on Windows.
extern const std::string_view kPathDelimiters;

// Where the first (or last) of chars stands in text as a character of its own; npos when none does.
// Windows: a byte that is the second half of a double-byte character of the system's code page (932,
// 936, 949, 950) is none, so 0x5C there is no "\". POSIX: the text is UTF-8, where every byte below
// 0x80 is a character of its own.
[[nodiscard]] std::size_t FindFirstCharacterOf(std::string_view text, std::string_view chars);
[[nodiscard]] std::size_t FindLastCharacterOf(std::string_view text, std::string_view chars);

// Whether path's last character is kPathSeparator.
[[nodiscard]] inline bool EndsWithSeparator(std::string_view path) {
  return !path.empty() && FindLastCharacterOf(path, std::string_view(&kPathSeparator, 1)) == path.size() - 1;
}

// True for a name that, joined to a folder, names a file directly in it: not "." or "..", and free of
// kPathDelimiters and NUL bytes.
[[nodiscard]] inline bool IsPlainFileName(std::string_view name) {
  return name != "." && name != ".." && FindFirstCharacterOf(name, kPathDelimiters) == std::string_view::npos &&
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
