// The project's own stand-in for the simulator's link server, for tests and demonstrations.
#include <csignal>
#include <cstdio>
#include <exception>
#include <string_view>
#include <thread>
#include <vector>

#include "linkserver/link_server_options.h"
#include "linkserver/link_server_replies.h"
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

// Every line is flushed at once: tests and demo users watch the output while the server runs.
template <typename... Args>
void Say(const char* format, Args... args) {
  std::printf(format, args...);
  std::fflush(stdout);
}

int Serve(const linkserver::Options& options) {
  if (!options.namespacePrefix.empty() || options.timeout) {
    platform::SetWindowMessagesForTesting(options.namespacePrefix,
                                          options.timeout.value_or(platform::kWindowMessageTimeout));
  }
  const std::uint32_t message = platform::RegisterWindowMessageA(linkserver::kMessageName);
  int deleted = 0;
  platform::MessageWindow* window = nullptr;
  platform::WindowHandlers handlers;
  handlers.onMessage = [&](std::uint32_t number, std::uint32_t request,
                           std::int32_t argument) -> std::optional<std::int32_t> {
    if (number != message) return 0;
    std::this_thread::sleep_for(options.delay);
    switch (options.behaviour) {
      case linkserver::Behaviour::kFixedAnswer:
        Say("request %u (%d) answered with %d\n", request, argument, options.fixedAnswer);
        return options.fixedAnswer;
      case linkserver::Behaviour::kNeverAnswer:
        Say("request %u (%d) left unanswered\n", request, argument);
        return std::nullopt;
      case linkserver::Behaviour::kReply:
      case linkserver::Behaviour::kReplyText: break;
    }
    const auto reply = linkserver::ReplyFor(options, request, argument);
    const std::uint16_t atom = reply ? window->AddReplyAtom(*reply) : 0;
    if (atom == 0) {
      Say("request %u (%d) answered with 0: no reply\n", request, argument);
      return 0;
    }
    Say("request %u (%d) answered with atom %04X: %s\n", request, argument, atom, reply->c_str());
    // String atoms go out sign-extended, as a 16-bit result does.
    return static_cast<std::int16_t>(atom);
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

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  linkserver::Options options;
  try {
    options = linkserver::ParseOptions(arguments);
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "parkmarq-linkserver: %s\n", error.what());
    return 2;
  }
  if (options.help) {
    std::fputs(linkserver::UsageText().c_str(), stdout);
    return 0;
  }
  try {
    return Serve(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "parkmarq-linkserver: %s\n", error.what());
    return 1;
  }
}
