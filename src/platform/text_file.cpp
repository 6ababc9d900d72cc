#include "platform/text_file.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

namespace platform {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::system_error(errno, std::generic_category(), "cannot open \"" + path + "\" for reading");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::system_error(errno, std::generic_category(), "cannot read \"" + path + "\"");
  return bytes;
}

std::vector<std::string> ReadTextLines(const std::string& path) { return SplitLines(ReadFileBytes(path)); }

}  // namespace platform
