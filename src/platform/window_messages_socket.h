#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_messages_wire.h"

// The local connections under the window-message service, shared by its client and server and by
// tests that play a misbehaving server. Names live in the abstract socket namespace, so nothing is
// left on disk and a name disappears with the process that listens under it.
namespace platform::local {

using Clock = std::chrono::steady_clock;

// An open socket, closed when the object goes; an empty one is "none".
class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  Socket(Socket&& other) noexcept : fd_(other.Release()) {}
  Socket& operator=(Socket&& other) noexcept;
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket();

  [[nodiscard]] bool Valid() const { return fd_ >= 0; }
  [[nodiscard]] int Fd() const { return fd_; }
  [[nodiscard]] int Release() noexcept;

 private:
  int fd_ = -1;
};

// The name a window of className listens under, and the one the atom table's owner listens under,
// both with the test prefix in front (see SetWindowMessagesForTesting).
[[nodiscard]] std::string WindowSocketName(std::string_view className);
[[nodiscard]] std::string AtomTableSocketName();

// How long one exchange may take (kWindowMessageTimeout unless a test changed it).
[[nodiscard]] std::chrono::milliseconds ExchangeTimeout();

// A non-blocking listening socket under name. Throws std::system_error naming it when the name is
// taken or the socket cannot be made.
[[nodiscard]] Socket Listen(std::string_view name);

// A connection to whoever listens under name; empty when nobody does, the deadline passes first, or
// the listener runs as another user (abstract names are open to every user of the machine).
[[nodiscard]] Socket Connect(std::string_view name, Clock::time_point deadline);

// True when the peer of a connected socket runs as the same user as this process.
[[nodiscard]] bool PeerIsSameUser(const Socket& socket);

// Writes all of bytes before the deadline; false when the peer went away or time ran out.
[[nodiscard]] bool SendAll(const Socket& socket, std::span<const std::uint8_t> bytes, Clock::time_point deadline);

// Everything the peer sends until it closes its end. nullopt when more than limit bytes arrive, the
// connection fails, or the deadline passes before the end.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReceiveToEnd(const Socket& socket, std::size_t limit,
                                                                    Clock::time_point deadline);

// One request to whoever listens under name and its answer, all within ExchangeTimeout(). nullopt
// when nobody listens, time runs out or the answer is malformed.
[[nodiscard]] std::optional<wire::Answer> Exchange(std::string_view name, const wire::Request& request);

}  // namespace platform::local
