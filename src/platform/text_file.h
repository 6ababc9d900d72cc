#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Text is kept as bytes. A line ends at CR LF, a lone LF or a lone CR; a final line end does not
// yield an extra empty line, and a last line without one is still a line.
[[nodiscard]] std::vector<std::string> SplitLines(std::string_view text);

// The whole file as bytes. Throws std::system_error naming the path when it cannot be read.
[[nodiscard]] std::string ReadFileBytes(const std::string& path);

// SplitLines of the file's content.
[[nodiscard]] std::vector<std::string> ReadTextLines(const std::string& path);

inline constexpr std::string_view kLineEnd = "\r\n";

}  // namespace platform
