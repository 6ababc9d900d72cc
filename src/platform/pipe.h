#pragma once

#include <chrono>
#include <cstddef>
#include <span>

namespace platform {

// The lowest descriptor that is not a standard stream (0, 1, 2).
inline constexpr int kFirstNonStandardDescriptor = 3;

// Sole owner of one open file descriptor; closes it when destroyed. Move-only.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept;
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor();

  // -1 when nothing is held.
  [[nodiscard]] int Get() const noexcept { return fd_; }
  [[nodiscard]] bool IsOpen() const noexcept { return fd_ >= 0; }
  // Closes now; the result of close is not examined, as nothing useful can follow from it.
  void Close() noexcept;

 private:
  int fd_ = -1;
};

// An anonymous pipe of the system's default size.
struct Pipe {
  FileDescriptor readEnd;
  FileDescriptor writeEnd;
};

// Creates a pipe whose ends are both close-on-exec, so no child inherits them unless it is given
// one on purpose, and never numbered 0, 1 or 2, so a process started with those closed cannot
// confuse a pipe end with a standard stream. Returns 0 on success, otherwise the system's error
// number (errno), with nothing left open.
[[nodiscard]] int CreatePipe(Pipe& pipe);

// The outcome of one read: ok is false at the end of the stream (every write end closed) and on
// any failure, and count is then 0.
struct ReadResult {
  bool ok = false;
  std::size_t count = 0;
};

// Reads at most buffer.size() bytes, blocking until some are there or the stream has ended. A read
// interrupted by a signal is retried, never taken as the end.
[[nodiscard]] ReadResult ReadSome(const FileDescriptor& from, std::span<char> buffer);

// Waits until from has bytes to read or its stream has ended, at most timeout.
// true when the next ReadSome would not block.
[[nodiscard]] bool WaitReadable(const FileDescriptor& from, std::chrono::milliseconds timeout);

}  // namespace platform
