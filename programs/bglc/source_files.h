#pragma once

#include <map>
#include <string>

namespace bglc {

// The outcome of reading one source: its bytes, or why it could not be read.
struct SourceText {
  bool found = false;
  std::string text;
  std::string reason;  // the system's reason when not found, e.g. "No such file or directory"
};

// Where the assembler gets its sources from; the disk in the compiler, memory in tests and fuzzing.
class SourceFiles {
 public:
  virtual ~SourceFiles() = default;
  // Never throws for a missing or unreadable file: that is an ordinary compile error.
  [[nodiscard]] virtual SourceText Read(const std::string& path) const = 0;
};

class DiskSourceFiles final : public SourceFiles {
 public:
  [[nodiscard]] SourceText Read(const std::string& path) const override;
};

// Files held in memory, keyed by their lexically normal path ("a/./b.asm" finds "a/b.asm").
class MemorySourceFiles final : public SourceFiles {
 public:
  void Add(const std::string& path, std::string text);
  [[nodiscard]] SourceText Read(const std::string& path) const override;

 private:
  std::map<std::string, std::string> files_;
};

// The one spelling of a path used to recognise the same file reached two ways.
[[nodiscard]] std::string NormalPath(const std::string& path);

}  // namespace bglc
