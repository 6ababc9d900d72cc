// The link server on POSIX: the socket stand-in for a window and its atom table.
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "linkserver/link_server_options.h"
#include "linkserver/link_server_replies.h"
#include "linkserver/serve.h"
#include "platform/window_messages.h"
#include "platform/window_messages_host.h"

namespace {

platform::MessageWindow* runningWindow = nullptr;

extern "C" void StopOnSignal(int) {
  if (runningWindow != nullptr) runningWindow->Stop();
}

void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = StopOnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

namespace linkserver {

int Serve(const Options& options) {
  UseTestSettings(options);
  const std::uint32_t message = platform::RegisterWindowMessageA(linkserver::kMessageName);
  int deleted = 0;
  platform::MessageWindow* window = nullptr;
  platform::WindowHandlers handlers;
  handlers.onMessage = [&](std::uint32_t number, std::uint32_t request,
                           std::int32_t argument) -> std::optional<std::int32_t> {
    if (number != message) return 0;
    return Answer(options, request, argument,
                  [&window](const std::string& text) { return window->AddReplyAtom(text); });
  };
  handlers.onAtomDeleted = [&](std::uint16_t atom, bool existed) {
    if (!existed) {
      Say("atom %04X deleted, but no such atom exists\n", atom);
      return;
    }
    ++deleted;
    Say("atom %04X deleted\n", atom);
  };
  handlers.onAtomExpired = [](std::uint16_t atom) { Say("atom %04X expired: no client deleted it\n", atom); };

  platform::MessageWindow server(linkserver::kWindowClass, std::move(handlers));
  window = &server;
  runningWindow = &server;
  InstallStopHandlers();
  Say("parkmarq-linkserver ready: window %s, message %s = %u\n", std::string(linkserver::kWindowClass).c_str(),
      std::string(linkserver::kMessageName).c_str(), message);
  server.Run();
  runningWindow = nullptr;
  Say("stopped: %d atoms released, %zu atoms left\n", deleted, server.Atoms().Size());
  return 0;
}

}  // namespace linkserver
