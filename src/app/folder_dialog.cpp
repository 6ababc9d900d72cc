#include "app/folder_dialog.h"

#include "platform/dialogs.h"
#include "platform/path.h"

namespace Folder_Dialog {

std::string BrowseForFolder(QWidget* owner, platform::DialogService& dialogs) {
  std::string folder = dialogs.ExistingFolder(owner, QString::fromUtf8(kBrowseTitle)).toStdString();
  if (folder.empty()) return folder;
  // The proposed output name is appended without a separator of its own.
  if (folder.back() != platform::kPathSeparator) folder += platform::kPathSeparator;
  return folder;
}

}  // namespace Folder_Dialog
