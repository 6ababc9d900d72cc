#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "platform/text_file.h"

namespace airport {

// Bytes read from the start in pieces, so that a reader never needs the whole of a large file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills buffer; fewer bytes only at the end, 0 once it is reached. Throws std::runtime_error (or
  // std::system_error) naming the file when the bytes cannot be had.
  [[nodiscard]] virtual std::size_t Read(std::span<char> buffer) = 0;
};

class FileSource final : public ByteSource {
 public:
  explicit FileSource(const std::string& path) : file_(path) {}
  [[nodiscard]] std::size_t Read(std::span<char> buffer) override { return file_.Read(buffer); }

 private:
  platform::InputFile file_;
};

// Bytes already read (to recognise the format), then the rest from another source.
class PrefixedSource final : public ByteSource {
 public:
  PrefixedSource(std::string prefix, ByteSource* rest) : prefix_(std::move(prefix)), rest_(rest) {}
  [[nodiscard]] std::size_t Read(std::span<char> buffer) override;

 private:
  std::string prefix_;
  std::size_t taken_ = 0;
  ByteSource* rest_;  // null: nothing after the prefix
};

// Up to limit bytes from the start of source.
[[nodiscard]] std::string ReadUpTo(ByteSource& source, std::size_t limit);

// The lines of a source one at a time; a line ends at LF, and a CR before it is dropped. The memory
// used is that of the longest line, whatever the size of the source.
class LineReader {
 public:
  explicit LineReader(ByteSource& source);
  // The next line, valid until the next call; false after the last.
  [[nodiscard]] bool Next(std::string_view& line);
  // The number of the line Next returned last, from 1.
  [[nodiscard]] int LineNumber() const { return lineNumber_; }

 private:
  ByteSource& source_;
  std::string buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool exhausted_ = false;
  int lineNumber_ = 0;
};

}  // namespace airport
