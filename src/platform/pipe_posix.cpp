#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>

#include "platform/pipe.h"

namespace platform {
namespace {

// The lowest descriptor that is not a standard stream.
constexpr int kFirstNonStandardDescriptor = STDERR_FILENO + 1;

// Moves end above the standard streams; returns 0 or errno. On failure end is left as it was.
int LiftAboveStandardStreams(PipeEnd& end) {
  if (end.Get() >= kFirstNonStandardDescriptor) return 0;
  const int lifted = fcntl(static_cast<int>(end.Get()), F_DUPFD_CLOEXEC, kFirstNonStandardDescriptor);
  if (lifted < 0) return errno;
  end = PipeEnd(lifted);
  return 0;
}

}  // namespace

void PipeEnd::Close() noexcept {
  // Not retried on EINTR: on Linux the descriptor is released even then, and a retry could close
  // a descriptor another part of the program has just been given.
  if (IsOpen()) ::close(static_cast<int>(std::exchange(handle_, kNoHandle)));
}

int CreatePipe(Pipe& pipe) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return errno;
  Pipe created{PipeEnd(ends[0]), PipeEnd(ends[1])};
  if (const int error = LiftAboveStandardStreams(created.readEnd); error != 0) return error;
  if (const int error = LiftAboveStandardStreams(created.writeEnd); error != 0) return error;
  pipe = std::move(created);
  return 0;
}

ReadResult ReadSome(const PipeEnd& from, std::span<char> buffer) {
  for (;;) {
    const ssize_t count = ::read(static_cast<int>(from.Get()), buffer.data(), buffer.size());
    if (count > 0) return {true, static_cast<std::size_t>(count)};
    if (count < 0 && errno == EINTR) continue;
    return {};
  }
}

bool WaitReadable(const PipeEnd& from, std::chrono::milliseconds timeout) {
  pollfd wanted{static_cast<int>(from.Get()), POLLIN, 0};
  const auto milliseconds = std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, INT_MAX);
  const int ready = ::poll(&wanted, 1, static_cast<int>(milliseconds));
  // A failed poll (other than a signal) says nothing about the pipe: the read that follows reports it.
  if (ready < 0) return errno != EINTR;
  return ready > 0;
}

}  // namespace platform
