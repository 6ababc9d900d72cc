#include "bglc/source_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/text_file.h"

namespace bglc {
namespace {

constexpr std::size_t kReadSize = 64 * 1024;

// Appends to line what still fits under limit + 1 bytes.
void AppendUpTo(std::string& line, std::string_view bytes, std::size_t limit) {
  const std::size_t room = limit + 1 > line.size() ? limit + 1 - line.size() : 0;
  line.append(bytes.substr(0, std::min(room, bytes.size())));
}

class FileLines final : public SourceLines {
 public:
  explicit FileLines(const std::string& path) : in_(path), buffer_(kReadSize) {}

  bool Next(std::string& line, std::size_t limit) override {
    line.clear();
    bool inLine = false;
    for (;;) {
      if (at_ == end_) {
        end_ = in_.Read(buffer_);
        at_ = 0;
        if (end_ == 0) return inLine;
      }
      // The LF of a CR LF whose CR ended the last line.
      if (std::exchange(afterCr_, false) && buffer_[at_] == '\n') {
        ++at_;
        continue;
      }
      inLine = true;
      const std::string_view rest(buffer_.data() + at_, end_ - at_);
      const std::size_t lineEnd = std::min(rest.find_first_of("\r\n"), rest.size());
      AppendUpTo(line, rest.substr(0, lineEnd), limit);
      at_ += lineEnd;
      if (lineEnd < rest.size()) {
        afterCr_ = buffer_[at_] == '\r';
        ++at_;
        return true;
      }
    }
  }

 private:
  platform::InputFile in_;
  std::vector<char> buffer_;
  std::size_t at_ = 0;
  std::size_t end_ = 0;
  bool afterCr_ = false;
};

class TextLines final : public SourceLines {
 public:
  explicit TextLines(std::string_view text) : cursor_(text) {}

  bool Next(std::string& line, std::size_t limit) override {
    line.clear();
    const auto next = cursor_.Next();
    if (next) AppendUpTo(line, *next, limit);
    return next.has_value();
  }

 private:
  platform::LineCursor cursor_;
};

}  // namespace

OpenedSource DiskSourceFiles::Open(const std::string& path) const {
  std::error_code error;
  // A folder opens as a stream on Linux and reads as empty; say what it is instead.
  if (std::filesystem::is_directory(path, error)) return {nullptr, "it is a folder, not a file"};
  try {
    return {std::make_unique<FileLines>(path), {}};
  } catch (const std::system_error& failure) {
    return {nullptr, failure.code().message()};
  }
}

void MemorySourceFiles::Add(const std::string& path, std::string text) {
  files_[NormalPath(path)] = std::move(text);
}

OpenedSource MemorySourceFiles::Open(const std::string& path) const {
  const auto found = files_.find(NormalPath(path));
  if (found == files_.end()) return {nullptr, std::make_error_code(std::errc::no_such_file_or_directory).message()};
  return {std::make_unique<TextLines>(found->second), {}};
}

std::string NormalPath(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

}  // namespace bglc
