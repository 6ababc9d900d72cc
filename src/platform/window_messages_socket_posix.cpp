#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "platform/window_messages.h"
#include "platform/window_messages_socket.h"

namespace platform::local {
namespace {

std::string FallbackFolder() {
  return "/tmp/parkmarq-" + std::to_string(::geteuid());
}

bool IsPrivateFolder(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
         (info.st_mode & 077) == 0;
}

struct Address {
  sockaddr_un address{};
  socklen_t length = 0;
  std::string path;
};

// The socket file for name in folder; nullopt when name is empty, would leave the folder, or the path is
// longer than a socket address holds.
std::optional<Address> AddressIn(const std::string& folder, std::string_view name) {
  Address address;
  address.address.sun_family = AF_UNIX;
  address.path = folder + "/" + std::string(name);
  if (name.empty() || name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos ||
      address.path.size() + 1 > sizeof(address.address.sun_path)) {
    return std::nullopt;
  }
  address.path.copy(address.address.sun_path, address.path.size());
  address.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address.path.size() + 1);
  return address;
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
  return WindowMessagesName("parkmarq.window." + std::string(className));
}

std::string AtomTableSocketName() {
  return WindowMessagesName("parkmarq.atoms");
}

std::optional<std::string> SocketFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/' && IsPrivateFolder(runtime)) return std::string(runtime);
  const std::string fallback = FallbackFolder();
  if (::mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  if (!IsPrivateFolder(fallback)) return std::nullopt;
  return fallback;
}

Listener::Listener(std::string_view name) {
  const std::string what = "cannot listen for local messages under the name \"" + std::string(name) + "\"";
  const auto folder = SocketFolder();
  if (!folder) {
    throw std::system_error(
        std::make_error_code(std::errc::permission_denied),
        what + ": neither $XDG_RUNTIME_DIR nor " + FallbackFolder() + " is a folder of mode 0700 owned by this user");
  }
  const auto address = AddressIn(*folder, name);
  if (!address) throw std::system_error(std::make_error_code(std::errc::filename_too_long), what);
  lockPath_ = address->path + ".lock";
  // A lock file that its last holder removed after we opened it locks nothing: open the new one.
  for (bool locked = false; !locked;) {
    lock_ = Socket(::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock_.Valid()) throw std::system_error(errno, std::generic_category(), what);
    if (::flock(lock_.Fd(), LOCK_EX | LOCK_NB) != 0) {
      throw std::system_error(errno == EWOULDBLOCK ? EADDRINUSE : errno, std::generic_category(), what);
    }
    struct stat held {};
    struct stat named {};
    locked = ::fstat(lock_.Fd(), &held) == 0 && ::lstat(lockPath_.c_str(), &named) == 0 &&
             held.st_dev == named.st_dev && held.st_ino == named.st_ino;
  }
  // Whoever holds the lock owns the name: a socket file still there was left by a listener that died.
  if (::unlink(address->path.c_str()) != 0 && errno != ENOENT) {
    throw std::system_error(errno, std::generic_category(), what);
  }
  socket_ = Socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!socket_.Valid()) throw std::system_error(errno, std::generic_category(), what);
  if (::bind(socket_.Fd(), reinterpret_cast<const sockaddr*>(&address->address), address->length) != 0) {
    throw std::system_error(errno, std::generic_category(), what);
  }
  path_ = address->path;
  if (::listen(socket_.Fd(), SOMAXCONN) != 0) {
    const int error = errno;
    ::unlink(path_.c_str());
    throw std::system_error(error, std::generic_category(), what);
  }
}

Listener::~Listener() {
  // Before the lock goes, so the files removed are still this listener's own.
  if (!path_.empty()) ::unlink(path_.c_str());
  ::unlink(lockPath_.c_str());
}

Socket Connect(std::string_view name, Clock::time_point deadline) {
  const auto folder = SocketFolder();
  if (!folder) return {};
  const auto address = AddressIn(*folder, name);
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
    result = ::connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&address->address), address->length);
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

std::optional<wire::Answer> Exchange(std::string_view name, const wire::Request& request, Clock::time_point deadline) {
  const Socket socket = Connect(name, deadline);
  if (!socket.Valid()) return std::nullopt;
  const auto bytes = wire::EncodeRequest(request);
  if (!SendAll(socket, bytes, deadline)) return std::nullopt;
  const auto answer = ReceiveToEnd(socket, wire::kMaxAnswerSize, deadline);
  if (!answer) return std::nullopt;
  return wire::DecodeAnswer(*answer);
}

}  // namespace platform::local
