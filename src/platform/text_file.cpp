#include "platform/text_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>
#include <utility>

namespace platform {

std::optional<std::string_view> LineCursor::Next() {
  if (rest_.empty()) return std::nullopt;
  const auto end = rest_.find_first_of("\r\n");
  if (end == std::string_view::npos) return std::exchange(rest_, {});
  const auto line = rest_.substr(0, end);
  const bool crLf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
  rest_.remove_prefix(end + (crLf ? 2 : 1));
  return line;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  LineCursor cursor(text);
  while (const auto line = cursor.Next()) lines.emplace_back(*line);
  return lines;
}

std::vector<std::string_view> LastLines(std::string_view text, std::size_t count) {
  std::vector<std::string_view> lines;
  if (text.empty()) return lines;
  // The final line end belongs to the last line; every line end before it closes a line.
  if (text.ends_with(kLineEnd)) {
    text.remove_suffix(kLineEnd.size());
  } else if (text.ends_with('\r') || text.ends_with('\n')) {
    text.remove_suffix(1);
  }
  while (lines.size() < count) {
    const auto end = text.find_last_of("\r\n");
    if (end == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    lines.push_back(text.substr(end + 1));
    const bool crLf = text[end] == '\n' && end > 0 && text[end - 1] == '\r';
    text = text.substr(0, crLf ? end - 1 : end);
  }
  return {lines.rbegin(), lines.rend()};
}

InputFile::InputFile(const std::string& path) : path_(path), in_(path, std::ios::binary) {
  if (!in_) throw std::system_error(errno, std::generic_category(), "cannot open \"" + path_ + "\" for reading");
}

std::size_t InputFile::Read(std::span<char> buffer) {
  in_.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  if (in_.bad()) throw std::system_error(errno, std::generic_category(), "cannot read \"" + path_ + "\"");
  return static_cast<std::size_t>(in_.gcount());
}

namespace {

constexpr std::size_t kPieceSize = 64 * 1024;

}  // namespace

std::string ReadFileBytes(const std::string& path) {
  InputFile in(path);
  std::string bytes;
  std::array<char, kPieceSize> piece;
  while (const auto count = in.Read(piece)) bytes.append(piece.data(), count);
  return bytes;
}

std::optional<std::string> ReadFileBytesUpTo(const std::string& path, std::size_t limit) {
  InputFile in(path);
  std::string bytes;
  std::array<char, kPieceSize> piece;
  while (bytes.size() <= limit) {
    const auto count = in.Read(std::span(piece).first(std::min(piece.size(), limit + 1 - bytes.size())));
    if (count == 0) return bytes;
    bytes.append(piece.data(), count);
  }
  return std::nullopt;
}

std::optional<std::string> ReadFirstLine(const std::string& path) {
  InputFile in(path);
  std::string line;
  std::array<char, kPieceSize> piece;
  while (const auto count = in.Read(piece)) {
    const std::string_view read(piece.data(), count);
    const auto end = read.find_first_of("\r\n");
    line.append(read.substr(0, end));
    if (end != std::string_view::npos) return line;
  }
  if (line.empty()) return std::nullopt;
  return line;
}

}  // namespace platform
