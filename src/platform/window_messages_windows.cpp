// The window-message service on Windows: the Win32 calls themselves. Only the send can block, and it
// waits no longer than the deadline allows.
#include <algorithm>
#include <chrono>
#include <climits>
#include <limits>
#include <string>

#include "platform/win32_api.h"
#include "platform/window_messages.h"

namespace platform {
namespace {

HWND Native(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

}  // namespace

std::uint32_t RegisterWindowMessageA(std::string_view name) {
  if (name.empty()) return 0;
  return ::RegisterWindowMessageA(std::string(name).c_str());
}

WindowHandle FindWindowA(std::string_view className, Deadline /*deadline*/) {
  return reinterpret_cast<WindowHandle>(::FindWindowA(WindowMessagesName(className).c_str(), nullptr));
}

std::int32_t SendMessageTimeoutA(WindowHandle window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam,
                                 Deadline deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  if (window == 0 || left.count() <= 0) return 0;
  const auto timeout = static_cast<UINT>(std::min<std::chrono::milliseconds::rep>(left.count(), UINT_MAX));
  DWORD_PTR result = 0;
  // A time-out, a hung server or a window gone all count as no answer.
  if (::SendMessageTimeoutA(Native(window), message, wParam, lParam, SMTO_ABORTIFHUNG, timeout, &result) == 0) {
    return 0;
  }
  // The answer is 32-bit by the protocol; a wider one stays out of range rather than being cut down.
  const auto answer = static_cast<LRESULT>(result);
  return static_cast<std::int32_t>(
      std::clamp<LRESULT>(answer, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::size_t GlobalGetAtomNameA(std::uint16_t atom, std::span<char> buffer, Deadline /*deadline*/) {
  if (buffer.empty()) return 0;
  buffer[0] = '\0';
  const int size = static_cast<int>(std::min<std::size_t>(buffer.size(), INT_MAX));
  return ::GlobalGetAtomNameA(atom, buffer.data(), size);
}

void GlobalDeleteAtom(std::uint16_t atom, Deadline /*deadline*/) {
  // The global table, where the server's reply atoms live; DeleteAtom would look in this process's own.
  static_cast<void>(::GlobalDeleteAtom(atom));
}

}  // namespace platform
