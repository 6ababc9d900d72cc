#pragma once

#include <string>

namespace platform {

// The user's home folder: on Linux $HOME when it is an absolute path, else the user database's entry;
// on Windows %USERPROFILE%. Throws std::runtime_error when the user has none.
[[nodiscard]] std::string HomeFolder();

// The folder where programs keep the current user's own data, without a trailing separator. On Linux
// $XDG_DATA_HOME when it is an absolute path, else .local/share in the home folder; on Windows
// %LOCALAPPDATA%. It need not exist yet. Throws std::runtime_error when there is none.
[[nodiscard]] std::string UserDataFolder();

// The folder where the user keeps their documents, without a trailing separator: on Linux the XDG
// documents folder (XDG_DOCUMENTS_DIR in user-dirs.dirs of $XDG_CONFIG_HOME or ~/.config) when it
// exists, else Documents in the home folder when that exists, else the home folder; on Windows the
// shell's Documents folder, else the home folder. Throws std::runtime_error when there is none.
[[nodiscard]] std::string DocumentsFolder();

}  // namespace platform
