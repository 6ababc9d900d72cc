#include "airport/byte_source.h"

#include <algorithm>
#include <cstring>

namespace airport {

namespace {

constexpr std::size_t kPiece = std::size_t{1} << 20;

}  // namespace

std::size_t PrefixedSource::Read(std::span<char> buffer) {
  const std::size_t fromPrefix = std::min(buffer.size(), prefix_.size() - taken_);
  std::memcpy(buffer.data(), prefix_.data() + taken_, fromPrefix);
  taken_ += fromPrefix;
  if (fromPrefix == buffer.size() || rest_ == nullptr) return fromPrefix;
  return fromPrefix + rest_->Read(buffer.subspan(fromPrefix));
}

std::string ReadUpTo(ByteSource& source, std::size_t limit) {
  std::string bytes(limit, '\0');
  bytes.resize(source.Read(bytes));
  return bytes;
}

LineReader::LineReader(ByteSource& source) : source_(source), buffer_(kPiece, '\0') {}

bool LineReader::Next(std::string_view& line) {
  std::size_t searchFrom = begin_;
  while (true) {
    const void* found = std::memchr(buffer_.data() + searchFrom, '\n', end_ - searchFrom);
    std::size_t lineEnd = found ? static_cast<const char*>(found) - buffer_.data() : end_;
    if (found || (exhausted_ && begin_ < end_)) {
      line = std::string_view(buffer_.data() + begin_, lineEnd - begin_);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      begin_ = found ? lineEnd + 1 : end_;
      ++lineNumber_;
      return true;
    }
    if (exhausted_) return false;
    // Keep the unfinished line, and make room for at least one more piece after it.
    searchFrom = end_ - begin_;
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    if (buffer_.size() - end_ < kPiece / 2) buffer_.resize(buffer_.size() * 2);
    const std::size_t read = source_.Read(std::span<char>(buffer_.data() + end_, buffer_.size() - end_));
    if (read < buffer_.size() - end_) exhausted_ = true;
    end_ += read;
  }
}

}  // namespace airport
