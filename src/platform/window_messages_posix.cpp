#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/window_messages.h"
#include "platform/window_messages_socket.h"

namespace platform {
namespace {

// The windows this process has found: handle k names entry k - 1. A window is its class and the
// identity its server chose, so a server started again under the class gets a new handle.
struct FoundWindow {
  std::string className;
  std::uint32_t identity = 0;
  bool operator==(const FoundWindow&) const = default;
};

struct FoundWindows {
  std::mutex mutex;
  std::vector<FoundWindow> windows;
};

FoundWindows& Found() {
  static FoundWindows found;
  return found;
}

WindowHandle HandleFor(FoundWindow window) {
  auto& found = Found();
  const std::lock_guard lock(found.mutex);
  auto it = std::find(found.windows.begin(), found.windows.end(), window);
  if (it == found.windows.end()) it = found.windows.insert(it, std::move(window));
  return static_cast<WindowHandle>(it - found.windows.begin()) + 1;
}

std::optional<FoundWindow> WindowFor(WindowHandle handle) {
  auto& found = Found();
  const std::lock_guard lock(found.mutex);
  if (handle == 0 || handle > found.windows.size()) return std::nullopt;
  return found.windows[handle - 1];
}

}  // namespace

std::uint32_t RegisterWindowMessageA(std::string_view name) {
  if (name.empty()) return 0;
  // FNV-1a into 0xC000..0xFFFF, ASCII letters in either case alike: fixed, so every process and every
  // build agrees on the number.
  std::uint32_t hash = 2166136261U;
  for (const char c : FoldAsciiCase(name)) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619U;
  return 0xC000U + hash % 0x4000U;
}

WindowHandle FindWindowA(std::string_view className, Deadline deadline) {
  wire::Request request;
  request.kind = wire::RequestKind::kFindWindow;
  const auto answer = local::Exchange(local::WindowSocketName(className), request, deadline);
  if (!answer || !answer->handled) return 0;
  return HandleFor(FoundWindow{std::string(className), static_cast<std::uint32_t>(answer->value)});
}

std::int32_t SendMessageTimeoutA(WindowHandle window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam,
                                 Deadline deadline) {
  const auto found = WindowFor(window);
  if (!found) return 0;
  const wire::Request request{wire::RequestKind::kSendMessage, found->identity, message, wParam,
                              static_cast<std::uint32_t>(lParam)};
  const auto answer = local::Exchange(local::WindowSocketName(found->className), request, deadline);
  return answer && answer->handled ? answer->value : 0;
}

std::size_t GlobalGetAtomNameA(std::uint16_t atom, std::span<char> buffer, Deadline deadline) {
  if (buffer.empty()) return 0;
  buffer[0] = '\0';
  wire::Request request;
  request.kind = wire::RequestKind::kGetAtomName;
  request.lParam = atom;
  const auto answer = local::Exchange(local::AtomTableSocketName(), request, deadline);
  if (!answer || !answer->handled) return 0;
  const std::size_t count = std::min(answer->text.size(), buffer.size() - 1);
  std::copy_n(answer->text.begin(), count, buffer.begin());
  buffer[count] = '\0';
  return count;
}

void GlobalDeleteAtom(std::uint16_t atom, Deadline deadline) {
  wire::Request request;
  request.kind = wire::RequestKind::kDeleteAtom;
  request.lParam = atom;
  static_cast<void>(local::Exchange(local::AtomTableSocketName(), request, deadline));
}

}  // namespace platform
