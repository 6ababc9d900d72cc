#include "app/settings_file.h"

#include <system_error>

#include "platform/file_system.h"
#include "platform/output_file.h"
#include "platform/path.h"
#include "platform/text_file.h"

namespace app {

std::string SettingsFilePath(const std::string& appFolder) {
  return platform::JoinPath(appFolder, kSettingsFileName);
}

std::optional<std::string> LoadDefaultOutputFolder(const std::string& appFolder) {
  const auto path = SettingsFilePath(appFolder);
  if (!platform::FileSystem().FileExists(path)) return std::nullopt;
  try {
    const auto lines = platform::ReadTextLines(path);
    return lines.empty() ? std::string() : lines.front();
  } catch (const std::system_error&) {
    // An unreadable file tells no folder; start-up goes on as without one.
    return std::nullopt;
  }
}

bool SaveDefaultOutputFolder(const std::string& appFolder, const std::string& folder) {
  try {
    platform::WriteFileAtomically(SettingsFilePath(appFolder), folder + std::string(platform::kLineEnd));
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace app
