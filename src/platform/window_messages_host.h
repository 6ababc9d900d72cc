#pragma once

#include <cstdint>
#include <functional>
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

  // The table the handlers add reply atoms to. Use it only from Run's thread or while Run is not active.
  [[nodiscard]] AtomTable& Atoms() { return atoms_; }

  // Serves requests on the calling thread until Stop. A client that sends a malformed request, or none
  // within the exchange time-out, is disconnected; it cannot hold up the others. Clients running as
  // another user are turned away.
  void Run();

  // Makes Run return soon. Safe from any thread and from a signal handler.
  void Stop() noexcept;

 private:
  struct Connection;
  [[nodiscard]] std::optional<wire::Answer> Handle(const wire::Request& request);

  WindowHandlers handlers_;
  std::uint32_t identity_;
  local::Socket windowListener_;
  local::Socket atomListener_;
  int stopRead_ = -1;
  int stopWrite_ = -1;
  AtomTable atoms_;
};

}  // namespace platform
