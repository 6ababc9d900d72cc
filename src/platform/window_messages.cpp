// What the window-message service is on every system: the test settings and the text helpers.
#include "platform/window_messages.h"

#include <mutex>
#include <utility>

namespace platform {
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

}  // namespace

Deadline WindowMessageDeadline() {
  auto& settings = CurrentSettings();
  const std::lock_guard lock(settings.mutex);
  return std::chrono::steady_clock::now() + settings.timeout;
}

std::string FoldAsciiCase(std::string_view text) {
  std::string folded(text);
  std::transform(folded.begin(), folded.end(), folded.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
  return folded;
}

void SetWindowMessagesForTesting(std::string namespacePrefix, std::chrono::milliseconds timeout) {
  auto& settings = CurrentSettings();
  const std::lock_guard lock(settings.mutex);
  settings.prefix = std::move(namespacePrefix);
  settings.timeout = timeout;
}

std::string WindowMessagesName(std::string_view name) {
  auto& settings = CurrentSettings();
  const std::lock_guard lock(settings.mutex);
  return settings.prefix + std::string(name);
}

}  // namespace platform
