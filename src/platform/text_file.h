#pragma once

#include <cstddef>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Text is kept as bytes. A line ends at CR LF, a lone LF or a lone CR; a final line end does not
// yield an extra empty line, and a last line without one is still a line.

// The lines of text one at a time, without copying them.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : rest_(text) {}
  // The next line, nullopt after the last.
  [[nodiscard]] std::optional<std::string_view> Next();

 private:
  std::string_view rest_;
};

[[nodiscard]] std::vector<std::string> SplitLines(std::string_view text);

// At most the last count lines of text, in order, found from its end without reading the rest.
[[nodiscard]] std::vector<std::string_view> LastLines(std::string_view text, std::size_t count);

// A file read from the start in pieces, so that its size never decides the memory a reader uses.
class InputFile {
 public:
  // Throws std::system_error naming the path when it cannot be opened.
  explicit InputFile(const std::string& path);
  // Fills buffer from the file; fewer bytes only at the end, 0 once it is reached. Throws
  // std::system_error naming the path when reading fails.
  [[nodiscard]] std::size_t Read(std::span<char> buffer);

 private:
  std::string path_;
  std::ifstream in_;
};

// The whole file as bytes. Throws std::system_error naming the path when it cannot be read.
[[nodiscard]] std::string ReadFileBytes(const std::string& path);

// The whole file as bytes, or nullopt when it holds more than limit bytes; never reads more than
// limit + 1 of them. Throws std::system_error naming the path when it cannot be read.
[[nodiscard]] std::optional<std::string> ReadFileBytesUpTo(const std::string& path, std::size_t limit);

// The first line of the file, read up to its end only; nullopt when the file holds no line.
[[nodiscard]] std::optional<std::string> ReadFirstLine(const std::string& path);

inline constexpr std::string_view kLineEnd = "\r\n";

}  // namespace platform
