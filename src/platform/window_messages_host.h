#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/window_messages_atoms.h"
#include "platform/window_messages_socket.h"

namespace platform {

// What a window does with the requests that reach it. Both run on the thread that calls Run.
struct WindowHandlers {
  // The result of one message sent to the window; nullopt leaves the sender waiting until it gives up.
  std::function<std::optional<std::int32_t>(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam)>
      onMessage;
  // Told after each request to delete an atom, with whether the atom existed. May be empty.
  std::function<void(std::uint16_t atom, bool existed)> onAtomDeleted;
  // Told when the window drops a reply atom that no client deleted in time. May be empty.
  std::function<void(std::uint16_t atom)> onAtomExpired;
};

// The server side of the window-message service: one window of a class, and the global atom table
// that clients fetch and delete reply atoms from. One per class and per atom table at a time.
class MessageWindow {
 public:
  // Listens for the class and for the atom table. Throws std::system_error when another server holds
  // either name, or the sockets cannot be made.
  MessageWindow(std::string_view className, WindowHandlers handlers);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  // The global atom table. Use it only from Run's thread or while Run is not active.
  [[nodiscard]] AtomTable& Atoms() { return atoms_; }

  // Adds text to the atom table as the reply to the message being handled (see AtomTable::Add). The
  // window drops that reference itself when no client deletes the atom within the time-out, so a
  // client that gave up, or whose request came late, leaves nothing behind. From onMessage only.
  [[nodiscard]] std::uint16_t AddReplyAtom(std::string_view text);

  // Serves requests on the calling thread until Stop. A client that sends a malformed request, or none
  // within the exchange time-out, is disconnected; it cannot hold up the others. Clients running as
  // another user are turned away.
  void Run();

  // Makes Run return soon. Safe from any thread and from a signal handler.
  void Stop() noexcept;

 private:
  struct Connection;
  [[nodiscard]] std::optional<wire::Answer> Handle(const wire::Request& request);
  // Drops the reply atoms whose time is up; the time the next one is due, or nullopt when none is left.
  std::optional<local::Clock::time_point> ExpireReplyAtoms();

  WindowHandlers handlers_;
  std::uint32_t identity_;
  local::Listener windowListener_;
  local::Listener atomListener_;
  int stopRead_ = -1;
  int stopWrite_ = -1;
  AtomTable atoms_;
  std::multimap<local::Clock::time_point, std::uint16_t> replyAtoms_;  // by the time each is dropped
};

}  // namespace platform
