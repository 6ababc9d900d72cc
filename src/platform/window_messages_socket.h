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
// tests that play a misbehaving server. A name is a socket file in a folder that only the user can
// use, so another user can neither take a name nor answer in its place.
namespace platform::local {

using Clock = std::chrono::steady_clock;

// An open descriptor, closed when the object goes; an empty one is "none".
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

// The folder the socket files live in: $XDG_RUNTIME_DIR when it names a private folder, else
// /tmp/parkmarq-<uid>, made when missing. Private means a real folder (no symbolic link) that this user
// owns and that grants group and others nothing. nullopt when the fallback is not private either.
[[nodiscard]] std::optional<std::string> SocketFolder();

// A non-blocking socket listening under name for as long as the object lives. A lock file beside the
// socket file marks the name as held, so a socket file that a killed listener left behind is replaced;
// both files go with the object.
class Listener {
 public:
  // Throws std::system_error naming the name when another listener holds it (EADDRINUSE), no private
  // folder exists, or the socket cannot be made.
  explicit Listener(std::string_view name);
  ~Listener();
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  [[nodiscard]] int Fd() const { return socket_.Fd(); }

 private:
  std::string lockPath_;
  Socket lock_;  // the lock file's descriptor; closing it frees the name
  Socket socket_;
  std::string path_;  // set once the socket file is ours
};

// A connection to whoever listens under name; empty when nobody does, the deadline passes first, or
// the listener runs as another user.
[[nodiscard]] Socket Connect(std::string_view name, Clock::time_point deadline);

// True when the peer of a connected socket runs as the same user as this process.
[[nodiscard]] bool PeerIsSameUser(const Socket& socket);

// Writes all of bytes before the deadline; false when the peer went away or time ran out.
[[nodiscard]] bool SendAll(const Socket& socket, std::span<const std::uint8_t> bytes, Clock::time_point deadline);

// Everything the peer sends until it closes its end. nullopt when more than limit bytes arrive, the
// connection fails, or the deadline passes before the end.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReceiveToEnd(const Socket& socket, std::size_t limit,
                                                                    Clock::time_point deadline);

// One request to whoever listens under name and its answer, before the deadline. nullopt when nobody
// listens, time runs out or the answer is malformed.
[[nodiscard]] std::optional<wire::Answer> Exchange(std::string_view name, const wire::Request& request,
                                                   Clock::time_point deadline);

}  // namespace platform::local
