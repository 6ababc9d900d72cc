#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace app {

// The one settings file, beside the program: its first line is the default output folder.
inline constexpr std::string_view kSettingsFileName = "parkmarq.ini";

// "appFolder/parkmarq.ini"
[[nodiscard]] std::string SettingsFilePath(const std::string& appFolder);

// The default output folder remembered from the last run: nullopt when there is no settings file (or
// it cannot be read), else its first line exactly as written, blanks and all; empty when the file
// holds no line at all. Lines end at CR LF, LF or CR; later lines are not read. Removes first what a
// save killed midway left beside the file.
[[nodiscard]] std::optional<std::string> LoadDefaultOutputFolder(const std::string& appFolder);

// The same, but a settings file that exists and cannot be read throws std::system_error naming it,
// for a caller that reports it.
[[nodiscard]] std::optional<std::string> ReadDefaultOutputFolder(const std::string& appFolder);

// Writes folder and CR LF as the whole settings file, replacing the old file in one step so that it
// is never lost or left half-written; a symbolic link there is followed. false when it cannot be
// written or is marked read-only; the file saved before then stays as it was.
[[nodiscard]] bool SaveDefaultOutputFolder(const std::string& appFolder, const std::string& folder);

// Why the chosen folder cannot become the default output folder, for the user, or nullopt when it
// can: the one-line settings file cannot keep a name that holds a line break. current is the folder
// that then stays.
[[nodiscard]] std::optional<std::string> UnstorableFolderMessage(const std::string& folder, const std::string& current);

}  // namespace app
