#pragma once

#include <chrono>
#include <cstddef>
#include <span>
#include <utility>

#include "platform/native_handle.h"

namespace platform {

// Sole owner of one end of a pipe; closes it when destroyed. Move-only.
class PipeEnd {
 public:
  PipeEnd() = default;
  explicit PipeEnd(NativeHandle handle) noexcept : handle_(handle) {}
  PipeEnd(PipeEnd&& other) noexcept : handle_(std::exchange(other.handle_, kNoHandle)) {}
  PipeEnd& operator=(PipeEnd&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, kNoHandle);
    }
    return *this;
  }
  PipeEnd(const PipeEnd&) = delete;
  PipeEnd& operator=(const PipeEnd&) = delete;
  ~PipeEnd() { Close(); }

  // kNoHandle when nothing is held.
  [[nodiscard]] NativeHandle Get() const noexcept { return handle_; }
  [[nodiscard]] bool IsOpen() const noexcept { return handle_ != kNoHandle; }
  // Closes now; the result is not examined, as nothing useful can follow from it.
  void Close() noexcept;

 private:
  NativeHandle handle_ = kNoHandle;
};

// An anonymous pipe of the system's default size.
struct Pipe {
  PipeEnd readEnd;
  PipeEnd writeEnd;
};

// Creates a pipe. Only a child that is given an end on purpose gets it: no end leaks into children
// started by StartChild meanwhile, or on POSIX into any other child. On POSIX neither end is numbered
// 0, 1 or 2, so a process started with those closed cannot confuse a pipe end with a standard
// stream. Returns 0 on success, otherwise the system's error number (errno, or GetLastError), with
// nothing left open.
[[nodiscard]] int CreatePipe(Pipe& pipe);

// The outcome of one read: ok is false at the end of the stream (every write end closed) and on
// any failure, and count is then 0. On Windows a successful read may deliver no bytes.
struct ReadResult {
  bool ok = false;
  std::size_t count = 0;
};

// Reads at most buffer.size() bytes, blocking until some are there or the stream has ended. A read
// interrupted by a signal is retried, never taken as the end.
[[nodiscard]] ReadResult ReadSome(const PipeEnd& from, std::span<char> buffer);

// Waits until from has bytes to read or its stream has ended, at most timeout.
// true when the next ReadSome would not block.
[[nodiscard]] bool WaitReadable(const PipeEnd& from, std::chrono::milliseconds timeout);

}  // namespace platform
