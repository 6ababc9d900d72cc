#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace app {

// A file that an installed copy of the program carries beside it: the folder belongs to the package
// manager and is shared by every user, so nobody works in it, root included.
inline constexpr std::string_view kInstalledMarkerName = PARKMARQ_INSTALLED_MARKER;
// The application folder's name inside the user's data folder.
inline constexpr std::string_view kUserFolderName = "parkmarq";
// What the user folder received from the installed folder: one line per file, its content's hash and
// its path below the application folder, so that the user's own changes are told from ours.
inline constexpr std::string_view kInstalledCopiesName = ".installed-copies";

// The uninstaller that the Windows installer (packaging/windows/parkmarq.nsi) puts beside the program.
inline constexpr std::string_view kUninstallerName = "uninstall.exe";

struct ApplicationFolderChoice {
  std::string folder;           // holds vgds_source, tools and parkmarq.ini
  std::string installedFolder;  // the program's own folder when folder is the user's; else empty
};

// The program's own folder when this user may write there and it is no installed copy; else
// kUserFolderName in the user's data folder, asked for only then.
[[nodiscard]] ApplicationFolderChoice ChooseApplicationFolder(const std::string& programFolder,
                                                              bool programFolderWritable,
                                                              const std::function<std::string()>& userDataFolder);

// True for the application folder of an installed copy, which the user does not browse to: the user
// folder that an installed copy filled, or the folder the Windows installer installed to. A copy run
// from its own visible folder (a build tree, an unpacked zip) is none.
[[nodiscard]] bool IsInstalledCopy(const std::string& appFolder);

// The choice for the running program, made without writing anything.
[[nodiscard]] ApplicationFolderChoice LocateApplicationFolder();

// Brings the user folder up to date with the installed one, creating it with vgds_source and tools
// when they are missing: every template file and the compiler
// that the user folder never received is copied there, unless the user has a file of that name; a
// file the user left as received is replaced when the installed one has changed. What the user made,
// edited or removed stays as it is. Throws std::system_error or std::runtime_error naming the file.
void CopyInstalledFiles(const std::string& installedFolder, const std::string& userFolder);

// LocateApplicationFolder, then CopyInstalledFiles for a user folder. Returns the folder. Throws, with
// the reason, when that fails.
[[nodiscard]] std::string PrepareApplicationFolder();

}  // namespace app
