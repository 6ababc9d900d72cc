#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <system_error>
#include <vector>

#include "platform/window_messages.h"
#include "platform/window_messages_host.h"

namespace platform {
namespace {

// At most this many connections stay open, so a flood cannot exhaust descriptors.
constexpr std::size_t kMaxConnections = 64;
// An answer is a few hundred bytes and always fits a fresh connection's buffer; this only bounds a
// peer that stopped reading.
constexpr std::chrono::milliseconds kAnswerWriteLimit{200};

std::uint32_t NewIdentity() {
  std::random_device random;
  std::uint32_t identity = 0;
  while (identity == 0) identity = random();
  return identity;
}

}  // namespace

struct MessageWindow::Connection {
  local::Socket socket;
  std::vector<std::uint8_t> received;
  local::Clock::time_point deadline;
  bool held = false;  // the handler gave no result; kept open until the sender gives up
};

MessageWindow::MessageWindow(std::string_view className, WindowHandlers handlers)
    : handlers_(std::move(handlers)),
      identity_(NewIdentity()),
      windowListener_(local::WindowSocketName(className)),
      atomListener_(local::AtomTableSocketName()) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot create the window's stop signal");
  }
  stopRead_ = ends[0];
  stopWrite_ = ends[1];
}

MessageWindow::~MessageWindow() {
  ::close(stopRead_);
  ::close(stopWrite_);
}

void MessageWindow::Stop() noexcept {
  const char byte = 1;
  // A full pipe already holds a stop request, so a failed write loses nothing.
  [[maybe_unused]] const auto written = ::write(stopWrite_, &byte, 1);
}

std::uint16_t MessageWindow::AddReplyAtom(std::string_view text) {
  const std::uint16_t atom = atoms_.Add(text);
  if (atom != 0) replyAtoms_.emplace(WindowMessageDeadline(), atom);
  return atom;
}

std::optional<local::Clock::time_point> MessageWindow::ExpireReplyAtoms() {
  const auto now = local::Clock::now();
  while (!replyAtoms_.empty() && replyAtoms_.begin()->first <= now) {
    const std::uint16_t atom = replyAtoms_.begin()->second;
    replyAtoms_.erase(replyAtoms_.begin());
    atoms_.Delete(atom);
    if (handlers_.onAtomExpired) handlers_.onAtomExpired(atom);
  }
  if (replyAtoms_.empty()) return std::nullopt;
  return replyAtoms_.begin()->first;
}

std::optional<wire::Answer> MessageWindow::Handle(const wire::Request& request) {
  switch (request.kind) {
    case wire::RequestKind::kFindWindow: return wire::Answer{true, static_cast<std::int32_t>(identity_), {}};
    case wire::RequestKind::kSendMessage: {
      if (request.window != identity_ || !handlers_.onMessage) return wire::Answer{};
      const auto result =
          handlers_.onMessage(request.message, request.wParam, static_cast<std::int32_t>(request.lParam));
      if (!result) return std::nullopt;
      return wire::Answer{true, *result, {}};
    }
    case wire::RequestKind::kGetAtomName: {
      auto text = atoms_.Text(static_cast<std::uint16_t>(request.lParam));
      if (request.lParam > 0xFFFF || !text) return wire::Answer{};
      return wire::Answer{true, static_cast<std::int32_t>(text->size()), std::move(*text)};
    }
    case wire::RequestKind::kDeleteAtom: {
      const auto atom = static_cast<std::uint16_t>(request.lParam);
      const bool existed = request.lParam <= 0xFFFF && atoms_.Delete(atom);
      if (existed) {
        const auto reply = std::find_if(replyAtoms_.begin(), replyAtoms_.end(),
                                        [atom](const auto& entry) { return entry.second == atom; });
        if (reply != replyAtoms_.end()) replyAtoms_.erase(reply);
      }
      if (handlers_.onAtomDeleted) handlers_.onAtomDeleted(atom, existed);
      return wire::Answer{existed, 0, {}};
    }
  }
  return wire::Answer{};
}

void MessageWindow::Run() {
  std::vector<Connection> connections;
  std::vector<pollfd> polled;
  for (;;) {
    auto wake = WindowMessageDeadline();
    if (const auto due = ExpireReplyAtoms()) wake = std::min(wake, *due);
    const auto now = local::Clock::now();
    for (const auto& connection : connections) {
      if (!connection.held) wake = std::min(wake, connection.deadline);
    }
    polled.assign({{stopRead_, POLLIN, 0}, {windowListener_.Fd(), POLLIN, 0}, {atomListener_.Fd(), POLLIN, 0}});
    for (const auto& connection : connections) polled.push_back({connection.socket.Fd(), POLLIN, 0});
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
    const int ready = ::poll(polled.data(), polled.size(), static_cast<int>(std::max<long long>(wait, 0)));
    if (ready < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "the window's message loop failed");
    }

    if (polled[0].revents != 0) {
      char drain[64];
      while (::read(stopRead_, drain, sizeof drain) > 0) {
      }
      return;
    }

    // Requests from connections that were already open; the listeners' new ones join after.
    for (std::size_t i = 0; i < connections.size(); ++i) {
      auto& connection = connections[i];
      if (polled[3 + i].revents == 0) continue;
      std::uint8_t chunk[64];
      const ssize_t count = ::recv(connection.socket.Fd(), chunk, sizeof chunk, MSG_DONTWAIT);
      if (count < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (count <= 0 || connection.held) {
        connection.socket = {};  // the sender went away, or talks out of turn while waiting
        continue;
      }
      connection.received.insert(connection.received.end(), chunk, chunk + count);
      if (connection.received.size() < wire::kRequestSize) continue;
      const auto request = wire::DecodeRequest(connection.received);
      if (!request) {
        connection.socket = {};
        continue;
      }
      const auto answer = Handle(*request);
      if (!answer) {
        connection.held = true;
        continue;
      }
      static_cast<void>(
          local::SendAll(connection.socket, wire::EncodeAnswer(*answer), local::Clock::now() + kAnswerWriteLimit));
      connection.socket = {};
    }
    const auto after = local::Clock::now();
    std::erase_if(connections, [after](const Connection& connection) {
      return !connection.socket.Valid() || (!connection.held && connection.deadline <= after);
    });

    for (std::size_t listener = 1; listener <= 2; ++listener) {
      if (polled[listener].revents == 0) continue;
      for (;;) {
        local::Socket accepted(::accept4(polled[listener].fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!accepted.Valid()) break;
        if (!local::PeerIsSameUser(accepted)) continue;
        // The oldest connection makes room, so idle peers cannot lock the window out for good.
        if (connections.size() >= kMaxConnections) connections.erase(connections.begin());
        connections.push_back({std::move(accepted), {}, WindowMessageDeadline(), false});
      }
    }
  }
}

}  // namespace platform
