#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <mutex>
#include <system_error>
#include <utility>

#include "platform/window_messages.h"
#include "platform/window_messages_socket.h"

namespace platform::local {
namespace {

struct Settings {
  std::mutex mutex;
  std::string prefix;
  std::chrono::milliseconds timeout = kWindowMessageTimeout;
};

Settings& CurrentSettings() {
  static Settings settings;
  return settings;
}

std::string Prefixed(std::string_view name) {
  auto& settings = CurrentSettings();
  const std::lock_guard lock(settings.mutex);
  return settings.prefix + std::string(name);
}

// An abstract name starts with a 0 byte and is exactly as long as the length says.
std::optional<std::pair<sockaddr_un, socklen_t>> AbstractAddress(std::string_view name) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (name.empty() || name.size() + 1 > sizeof(address.sun_path)) return std::nullopt;
  address.sun_path[0] = '\0';
  name.copy(address.sun_path + 1, name.size());
  return std::pair{address, static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size())};
}

// Milliseconds left until deadline, rounded up so a poll never returns just short of it; 0 once passed.
int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1'000'000));
}

// Waits for events on the socket; false when the deadline passes or polling fails.
bool WaitFor(const Socket& socket, short events, Clock::time_point deadline) {
  for (;;) {
    const int left = MillisecondsLeft(deadline);
    if (left == 0) return false;
    pollfd entry{socket.Fd(), events, 0};
    const int ready = ::poll(&entry, 1, left);
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

}  // namespace

Socket& Socket::operator=(Socket&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.Release();
  }
  return *this;
}

Socket::~Socket() {
  if (fd_ >= 0) ::close(fd_);
}

int Socket::Release() noexcept {
  return std::exchange(fd_, -1);
}

std::string WindowSocketName(std::string_view className) {
  return Prefixed("parkmarq.window." + std::string(className));
}

std::string AtomTableSocketName() {
  return Prefixed("parkmarq.atoms");
}

std::chrono::milliseconds ExchangeTimeout() {
  auto& settings = CurrentSettings();
  const std::lock_guard lock(settings.mutex);
  return settings.timeout;
}

Socket Listen(std::string_view name) {
  const auto address = AbstractAddress(name);
  const std::string what = "cannot listen for local messages under the name \"" + std::string(name) + "\"";
  if (!address) throw std::system_error(std::make_error_code(std::errc::filename_too_long), what);
  Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!socket.Valid()) throw std::system_error(errno, std::generic_category(), what);
  if (::bind(socket.Fd(), reinterpret_cast<const sockaddr*>(&address->first), address->second) != 0 ||
      ::listen(socket.Fd(), SOMAXCONN) != 0) {
    throw std::system_error(errno, std::generic_category(), what);
  }
  return socket;
}

Socket Connect(std::string_view name, Clock::time_point deadline) {
  const auto address = AbstractAddress(name);
  if (!address) return {};
  Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket.Valid()) return {};
  // A listener with a full backlog makes connect wait; the send time-out bounds that wait.
  const int left = MillisecondsLeft(deadline);
  if (left == 0) return {};
  const timeval wait{left / 1000, static_cast<suseconds_t>((left % 1000) * 1000)};
  if (::setsockopt(socket.Fd(), SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait) != 0) return {};
  int result = 0;
  do {
    result = ::connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&address->first), address->second);
  } while (result != 0 && errno == EINTR && MillisecondsLeft(deadline) > 0);
  if (result != 0 || !PeerIsSameUser(socket)) return {};
  const int flags = ::fcntl(socket.Fd(), F_GETFL);
  if (flags < 0 || ::fcntl(socket.Fd(), F_SETFL, flags | O_NONBLOCK) != 0) return {};
  return socket;
}

bool PeerIsSameUser(const Socket& socket) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return ::getsockopt(socket.Fd(), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

bool SendAll(const Socket& socket, std::span<const std::uint8_t> bytes, Clock::time_point deadline) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(socket.Fd(), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0) {
      bytes = bytes.subspan(static_cast<std::size_t>(sent));
    } else if (sent < 0 && errno == EINTR) {
      continue;
    } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(socket, POLLOUT, deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

std::optional<std::vector<std::uint8_t>> ReceiveToEnd(const Socket& socket, std::size_t limit,
                                                      Clock::time_point deadline) {
  std::vector<std::uint8_t> received;
  std::uint8_t chunk[512];
  for (;;) {
    const ssize_t count = ::recv(socket.Fd(), chunk, sizeof chunk, MSG_DONTWAIT);
    if (count == 0) return received;
    if (count > 0) {
      received.insert(received.end(), chunk, chunk + count);
      if (received.size() > limit) return std::nullopt;
    } else if (errno == EINTR) {
      continue;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!WaitFor(socket, POLLIN, deadline)) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
}

std::optional<wire::Answer> Exchange(std::string_view name, const wire::Request& request) {
  const auto deadline = Clock::now() + ExchangeTimeout();
  const Socket socket = Connect(name, deadline);
  if (!socket.Valid()) return std::nullopt;
  const auto bytes = wire::EncodeRequest(request);
  if (!SendAll(socket, bytes, deadline)) return std::nullopt;
  const auto answer = ReceiveToEnd(socket, wire::kMaxAnswerSize, deadline);
  if (!answer) return std::nullopt;
  return wire::DecodeAnswer(*answer);
}

}  // namespace platform::local

namespace platform {

void SetWindowMessagesForTesting(std::string namespacePrefix, std::chrono::milliseconds timeout) {
  auto& settings = local::CurrentSettings();
  const std::lock_guard lock(settings.mutex);
  settings.prefix = std::move(namespacePrefix);
  settings.timeout = timeout;
}

}  // namespace platform
