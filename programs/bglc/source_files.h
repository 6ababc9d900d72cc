#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>

namespace bglc {

// One source, read a line at a time, so that its size never decides the memory the compiler uses.
// Lines end as everywhere in the program: at CR LF, a lone LF or a lone CR.
class SourceLines {
 public:
  virtual ~SourceLines() = default;
  // Puts the next line, without its end, into line: at most limit + 1 bytes of it, so that a longer
  // one is told apart without being held. false after the last line. Throws std::system_error when
  // the source cannot be read on.
  [[nodiscard]] virtual bool Next(std::string& line, std::size_t limit) = 0;
};

// A source opened, or why it could not be.
struct OpenedSource {
  std::unique_ptr<SourceLines> lines;  // null when not opened
  std::string reason;                  // the system's reason then, e.g. "No such file or directory"
};

// Where the assembler gets its sources from; the disk in the compiler, memory in tests and fuzzing.
class SourceFiles {
 public:
  virtual ~SourceFiles() = default;
  // Never throws for a missing or unreadable file: that is an ordinary compile error.
  [[nodiscard]] virtual OpenedSource Open(const std::string& path) const = 0;
};

class DiskSourceFiles final : public SourceFiles {
 public:
  [[nodiscard]] OpenedSource Open(const std::string& path) const override;
};

// Files held in memory, keyed by their lexically normal path ("a/./b.asm" finds "a/b.asm").
class MemorySourceFiles final : public SourceFiles {
 public:
  void Add(const std::string& path, std::string text);
  [[nodiscard]] OpenedSource Open(const std::string& path) const override;

 private:
  std::map<std::string, std::string> files_;
};

// The one spelling of a path used to recognise the same file reached two ways.
[[nodiscard]] std::string NormalPath(const std::string& path);

}  // namespace bglc
