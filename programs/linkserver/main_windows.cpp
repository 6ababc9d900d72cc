// The project's own stand-in for the simulator's link server on Windows: a hidden top-level window of
// the link's class answering the registered message with global atoms, as the simulator's add-on does.
#include <chrono>
#include <cstdio>
#include <exception>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "linkserver/link_server_options.h"
#include "linkserver/link_server_replies.h"
#include "platform/win32_api.h"
#include "platform/window_messages.h"

namespace {

// Every line is flushed at once: tests and demo users watch the output while the server runs.
template <typename... Args>
void Say(const char* format, Args... args) {
  std::printf(format, args...);
  std::fflush(stdout);
}

struct Server {
  const linkserver::Options* options = nullptr;
  UINT message = 0;
  std::set<ATOM> atoms;       // every reply atom handed out; a freed number may come again
  std::size_t handedOut = 0;  // how many replies went out in atoms
};

Server server;
HWND serverWindow = nullptr;

LRESULT Answer(WPARAM request, LPARAM lParam) {
  const auto& options = *server.options;
  const auto code = static_cast<std::uint32_t>(request);
  const auto argument = static_cast<std::int32_t>(lParam);
  std::this_thread::sleep_for(options.delay);
  switch (options.behaviour) {
    case linkserver::Behaviour::kFixedAnswer:
      Say("request %u (%d) answered with %d\n", code, argument, options.fixedAnswer);
      return options.fixedAnswer;
    case linkserver::Behaviour::kNeverAnswer:
      Say("request %u (%d) left unanswered\n", code, argument);
      for (;;) std::this_thread::sleep_for(std::chrono::hours(1));  // the window's thread hangs
    case linkserver::Behaviour::kReply:
    case linkserver::Behaviour::kReplyText: break;
  }
  const auto reply = linkserver::ReplyFor(options, code, argument);
  const ATOM atom = reply ? ::GlobalAddAtomA(reply->c_str()) : 0;
  if (atom == 0) {
    Say("request %u (%d) answered with 0: no reply\n", code, argument);
    return 0;
  }
  server.atoms.insert(atom);
  ++server.handedOut;
  Say("request %u (%d) answered with atom %04X: %s\n", code, argument, atom, reply->c_str());
  // String atoms go out sign-extended, as a 16-bit result does.
  return static_cast<std::int16_t>(atom);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == server.message && server.message != 0) return Answer(wParam, lParam);
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

BOOL WINAPI StopOnControl(DWORD) {
  ::PostMessageA(serverWindow, WM_CLOSE, 0, 0);
  return TRUE;
}

// The reply atoms that still exist: those no client deleted.
std::size_t AtomsLeft() {
  std::size_t left = 0;
  char text[2];
  for (const ATOM atom : server.atoms) left += ::GlobalGetAtomNameA(atom, text, sizeof text) != 0 ? 1 : 0;
  return left;
}

int Serve(const linkserver::Options& options) {
  if (!options.namespacePrefix.empty() || options.timeout) {
    platform::SetWindowMessagesForTesting(options.namespacePrefix,
                                          options.timeout.value_or(platform::kWindowMessageTimeout));
  }
  server.options = &options;
  server.message = platform::RegisterWindowMessageA(linkserver::kMessageName);
  const std::string className = platform::WindowMessagesName(linkserver::kWindowClass);
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = className.c_str();
  if (::RegisterClassA(&windowClass) == 0) throw platform::win32::LastError("cannot register the window class");
  // A top-level window, never shown: a message-only window could not be found by its class.
  serverWindow =
      ::CreateWindowExA(0, className.c_str(), "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (serverWindow == nullptr) throw platform::win32::LastError("cannot create the server window");
  ::SetConsoleCtrlHandler(StopOnControl, TRUE);
  Say("parkmarq-linkserver ready: window %s, message %s = %u\n", className.c_str(),
      std::string(linkserver::kMessageName).c_str(), server.message);
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  const std::size_t left = AtomsLeft();
  Say("stopped: %zu atoms released, %zu atoms left\n", server.handedOut - left, left);
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
