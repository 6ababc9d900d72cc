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

std::optional<std::string> ReadDefaultOutputFolder(const std::string& appFolder) {
  const auto path = SettingsFilePath(appFolder);
  platform::RemoveAbandonedTemporaries(path);
  if (!platform::FileSystem().FileExists(path)) return std::nullopt;
  return platform::ReadFirstLine(path).value_or(std::string());
}

std::optional<std::string> LoadDefaultOutputFolder(const std::string& appFolder) {
  try {
    return ReadDefaultOutputFolder(appFolder);
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

std::optional<std::string> UnstorableFolderMessage(const std::string& folder, const std::string& current) {
  if (folder.find_first_of("\r\n") == std::string::npos) return std::nullopt;
  return "The folder \"" + folder +
         "\" cannot be set as the default output folder: its name holds a line break, "
         "which " +
         std::string(kSettingsFileName) + " cannot keep. The default output folder stays " +
         (current.empty() ? std::string("unset") : "\"" + current + "\"") + ".";
}

}  // namespace app
