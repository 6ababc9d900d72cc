#include "app/folder_dialog.h"

#include "app/form1_view.h"
#include "platform/path.h"

namespace Folder_Dialog {
namespace {

std::string EndingInSeparator(std::string folder) {
  // The proposed output name is appended without a separator of its own.
  if (!folder.empty() && !platform::EndsWithSeparator(folder)) folder += platform::kPathSeparator;
  return folder;
}

}  // namespace

std::string BrowseForFolder(app::Form1View& owner) {
  return EndingInSeparator(owner.ChooseFolder(kBrowseTitle));
}

}  // namespace Folder_Dialog
