#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {
class BufferedOutput;
class OutputFile;
}  // namespace platform

namespace build {

// tools/compile.log while a compile runs: every chunk of compiler output followed by CR LF, in the
// order the runner reports them. Append is called from inside the runner's read loop, so it never
// throws: a failed write is kept and reported by Close, after the runner has finished. The chunks
// are gathered and written in large pieces; the file holds all of them once Close has returned.
class CompileLog {
 public:
  CompileLog();
  ~CompileLog();
  CompileLog(const CompileLog&) = delete;
  CompileLog& operator=(const CompileLog&) = delete;

  // Creates the log or empties an existing one (a symbolic link there is replaced, never written
  // through). Throws std::system_error naming the file when it cannot. Closes an earlier log first.
  void Open(const std::string& path);

  // chunk followed by CR LF, also for an empty chunk. Does nothing while no log is open or after a
  // write has failed.
  void Append(std::string_view chunk) noexcept;

  // Writes what is still gathered and closes the log. Throws std::system_error naming the file when a
  // write or the close failed; the log is closed either way. Does nothing when no log is open.
  void Close();

  [[nodiscard]] bool IsOpen() const;

 private:
  std::string path_;
  std::unique_ptr<platform::OutputFile> file_;
  std::unique_ptr<platform::BufferedOutput> buffer_;
  std::error_code failure_;
};

}  // namespace build
