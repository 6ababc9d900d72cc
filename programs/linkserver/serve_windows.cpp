// The project's own stand-in for the simulator's link server on Windows: a hidden top-level window of
// the link's class answering the registered message with global atoms, as the simulator's add-on does.
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>

#include "linkserver/link_server_options.h"
#include "linkserver/link_server_replies.h"
#include "linkserver/serve.h"
#include "platform/win32_api.h"
#include "platform/window_messages.h"

namespace {

using linkserver::Say;

struct Server {
  const linkserver::Options* options = nullptr;
  UINT message = 0;
  // Every reply atom handed out, with the text it was last handed out with: a freed number may come
  // again, also to another process, which the text tells apart.
  std::map<ATOM, std::string> atoms;
  std::size_t handedOut = 0;  // how many replies went out in atoms
};

Server server;
HWND serverWindow = nullptr;

LRESULT AnswerMessage(WPARAM request, LPARAM lParam) {
  const auto& options = *server.options;
  const auto code = static_cast<std::uint32_t>(request);
  const auto argument = static_cast<std::int32_t>(lParam);
  const auto answer = linkserver::Answer(options, code, argument, [](const std::string& text) {
    const ATOM atom = ::GlobalAddAtomA(text.c_str());
    if (atom != 0) {
      server.atoms.insert_or_assign(atom, text);
      ++server.handedOut;
    }
    return atom;
  });
  // Never answering means the window's thread hangs, as a hung simulator's would.
  while (!answer) std::this_thread::sleep_for(std::chrono::hours(1));
  return *answer;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == server.message && server.message != 0) return AnswerMessage(wParam, lParam);
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
  // Room for the whole text: a buffer too small fails under Wine as if the atom were gone.
  char text[platform::kMaxAtomLength + 1];
  for (const auto& [atom, handedOut] : server.atoms) {
    const UINT length = ::GlobalGetAtomNameA(atom, text, sizeof text);
    left += length != 0 && std::string(text, length) == handedOut ? 1 : 0;
  }
  return left;
}

}  // namespace

namespace linkserver {

int Serve(const Options& options) {
  UseTestSettings(options);
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

}  // namespace linkserver
