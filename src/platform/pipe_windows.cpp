#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/pipe.h"
#include "platform/win32_api.h"

namespace platform {
namespace {

HANDLE Native(const PipeEnd& end) {
  return reinterpret_cast<HANDLE>(end.Get());
}

// How long WaitReadable sleeps between two looks at the pipe: anonymous pipes cannot be waited on.
constexpr std::chrono::milliseconds kWaitStep{10};

}  // namespace

void PipeEnd::Close() noexcept {
  if (IsOpen()) ::CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, kNoHandle)));
}

int CreatePipe(Pipe& pipe) {
  // Both ends inheritable, as a child can only be handed inheritable handles; StartChild names the
  // one a child gets, so no other child ever holds an end of this pipe.
  SECURITY_ATTRIBUTES security{};
  security.nLength = sizeof security;
  security.lpSecurityDescriptor = nullptr;
  security.bInheritHandle = TRUE;
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (::CreatePipe(&readEnd, &writeEnd, &security, 0) == 0) return static_cast<int>(::GetLastError());
  pipe = Pipe{PipeEnd(reinterpret_cast<NativeHandle>(readEnd)), PipeEnd(reinterpret_cast<NativeHandle>(writeEnd))};
  return 0;
}

ReadResult ReadSome(const PipeEnd& from, std::span<char> buffer) {
  DWORD count = 0;
  const auto size = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
  // Fails with ERROR_BROKEN_PIPE once every write end is closed.
  if (::ReadFile(Native(from), buffer.data(), size, &count, nullptr) == 0) return {};
  return {true, count};
}

bool WaitReadable(const PipeEnd& from, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    DWORD available = 0;
    // A broken pipe fails here; the next ReadSome then fails at once too.
    if (::PeekNamedPipe(Native(from), nullptr, 0, nullptr, &available, nullptr) == 0 || available > 0) return true;
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return false;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, kWaitStep));
  }
}

}  // namespace platform
