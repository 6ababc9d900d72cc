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

// The client side of the local window-message and global-atom service. A "window" of a class is a
// server process listening under the class name; every call below is one request and one answer on a
// fresh local connection and gives up after kWindowMessageTimeout, so a server that hangs or misbehaves
// is treated like one that is not there. A peer that closes early never raises SIGPIPE.

// Identifies a window found by FindWindow within this process; 0 is "no window".
using WindowHandle = std::uintptr_t;

inline constexpr std::chrono::milliseconds kWindowMessageTimeout{5000};

// The longest text a global atom holds.
inline constexpr std::size_t kMaxAtomLength = 255;

// The message number for name: a stable hash of the name (ASCII letters in either case alike) into
// 0xC000..0xFFFF, the same in every process. 0 for an empty name.
[[nodiscard]] std::uint32_t RegisterWindowMessage(std::string_view name);

// A window of the class, or 0 when no server of that class answers in time. Finding the same window
// again gives the same handle; a server started anew under the class is a new window.
[[nodiscard]] WindowHandle FindWindow(std::string_view className);

// Sends message to window and waits for its handler's 32-bit result. 0 when the window is unknown or
// gone, or the answer does not arrive complete and well-formed within the time-out.
[[nodiscard]] std::int32_t SendMessage(WindowHandle window, std::uint32_t message, std::uint32_t wParam,
                                       std::int32_t lParam);

// Copies the text of a global atom into buffer, at most buffer.size() - 1 characters followed by a 0,
// and returns the number of characters copied. 0 when the atom does not exist, nobody owns an atom
// table, the answer is malformed or late, or the buffer is empty.
[[nodiscard]] std::size_t GlobalGetAtomName(std::uint16_t atom, std::span<char> buffer);

// Releases one reference to a global atom and waits (within the time-out) until the owner has done so.
// Whether the atom existed is not reported: callers have no use for it.
void DeleteAtom(std::uint16_t atom);

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

// Test support only: a prefix put before every local name, so that tests running side by side each
// have their own windows and atom table, and the time-out every exchange waits. The program itself
// never calls this.
void SetWindowMessagesForTesting(std::string namespacePrefix,
                                 std::chrono::milliseconds timeout = kWindowMessageTimeout);

}  // namespace platform
