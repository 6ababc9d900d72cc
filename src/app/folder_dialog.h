#pragma once

#include <string>

namespace app {
class Form1View;
}

namespace Folder_Dialog {

inline constexpr const char* kBrowseTitle = "Choose a directory from the list.";

// Lets the user choose a file-system folder, modal to owner, opening without a preselected folder.
// The result ends in the path separator; empty when the user cancels.
[[nodiscard]] std::string BrowseForFolder(app::Form1View& owner);

}  // namespace Folder_Dialog
