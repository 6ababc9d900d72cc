#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace platform {

// The client side of window messages and global atoms. Each call stands for the Win32 call of the same
// name and fails the way that call does: with 0. The ANSI "A" names are plain functions in windows.h,
// not macros, so these can be defined beside it; inside namespace platform the Win32 ones are called as
// ::FindWindowA and so on. A window is reachable only by processes of the user that owns it.
//
// Calls that can block take a deadline, computed once for a whole user action (see WindowMessageDeadline)
// so that several calls in a row wait no longer than one time-out in all. A call made after its deadline
// fails at once. On Windows only the send can block: it waits for the time left (SMTO_ABORTIFHUNG); the
// other calls there ignore the deadline. On Linux every call is a request to the server's process and
// respects it. A peer that closes early never raises SIGPIPE.

// Identifies a window found by FindWindowA within this process; 0 is "no window".
using WindowHandle = std::uintptr_t;

using Deadline = std::chrono::steady_clock::time_point;

inline constexpr std::chrono::milliseconds kWindowMessageTimeout{5000};

// The longest text a global atom holds.
inline constexpr std::size_t kMaxAtomLength = 255;

// Now plus the time-out: kWindowMessageTimeout, or the one a test set.
[[nodiscard]] Deadline WindowMessageDeadline();

// The message number for name, the same in every process; 0 when registration fails or name is empty.
[[nodiscard]] std::uint32_t RegisterWindowMessageA(std::string_view name);

// A top-level window of the class (no title given), or 0 when none answers before the deadline. Finding
// the same window again gives the same handle; a server started anew under the class is a new window.
[[nodiscard]] WindowHandle FindWindowA(std::string_view className, Deadline deadline);

// Sends message to window and waits for its handler's 32-bit result. 0 when the window is unknown or
// gone, or no well-formed answer arrives before the deadline.
[[nodiscard]] std::int32_t SendMessageTimeoutA(WindowHandle window, std::uint32_t message, std::uint32_t wParam,
                                               std::int32_t lParam, Deadline deadline);

// Copies the text of a global atom into buffer, at most buffer.size() - 1 characters followed by a 0,
// and returns the number of characters copied. 0 when the atom does not exist, the buffer is empty, or
// (Linux) nobody owns an atom table or its answer is malformed or late.
[[nodiscard]] std::size_t GlobalGetAtomNameA(std::uint16_t atom, std::span<char> buffer, Deadline deadline);

// Releases one reference to a global atom. Whether the atom existed is not reported: callers have no use
// for it. A reply atom that nobody releases in time is freed by its server (Linux).
void GlobalDeleteAtom(std::uint16_t atom, Deadline deadline);

// text with the ASCII letters in lower case and every other byte as it is: how message names and atom
// texts are compared, whatever the user's locale.
[[nodiscard]] std::string FoldAsciiCase(std::string_view text);

// A raw copy of the bytes into a T, read as little-endian whatever the machine's own order.
template <typename T>
[[nodiscard]] T CopyLittleEndian(std::span<const std::uint8_t, sizeof(T)> bytes) {
  static_assert(std::is_trivially_copyable_v<T>);
  std::array<std::uint8_t, sizeof(T)> raw{};
  std::memcpy(raw.data(), bytes.data(), sizeof(T));
  if constexpr (std::endian::native == std::endian::big) std::reverse(raw.begin(), raw.end());
  return std::bit_cast<T>(raw);
}

// Test support only: a prefix put before every window class and atom-table name, so that tests running
// side by side each have their own windows and atom table, and the time-out WindowMessageDeadline adds.
// The program itself never calls this.
void SetWindowMessagesForTesting(std::string namespacePrefix,
                                 std::chrono::milliseconds timeout = kWindowMessageTimeout);

// name with the test prefix before it: what a window class or the atom table is known by.
[[nodiscard]] std::string WindowMessagesName(std::string_view name);

}  // namespace platform
