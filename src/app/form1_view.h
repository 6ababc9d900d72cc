#pragma once

#include <string>

#include "build/build_host.h"
#include "catalogue/parameter.h"
#include "catalogue/selection.h"

namespace app {

// What the window's toolkit-free part needs from the toolkit's window: its controls, by what they
// show, and its modal dialogs. The Qt window and the Win32 window each implement it; texts are in
// the system's character set and converted at the toolkit's edge.
class Form1View : public catalogue::SelectionView {
 public:
  // lst_vgds: items in the order added.
  virtual void AddListItem(const std::string& name) = 0;
  // Selects an item without raising the list's click.
  virtual void SelectListItem(int index) = 0;

  [[nodiscard]] virtual build::ParameterField Field(catalogue::Parameter parameter) const = 0;
  virtual void SetFieldText(catalogue::Parameter parameter, const std::string& text) = 0;

  // On the screen when this returns, also while a build blocks the window's thread.
  virtual void SetCreateCaption(const std::string& caption) = 0;
  // An empty text shows no tool tip.
  virtual void SetFolderToolTip(const std::string& folder) = 0;

  // Called while a build blocks the window's thread: repaints the window; user input to it is dropped.
  virtual void KeepPainted() = 0;
  // Closes the window as the user would, running the shut-down sequence.
  virtual void Close() = 0;

  // Modal to the window. A box with the critical icon and a single OK button.
  virtual void ShowCritical(const std::string& title, const std::string& text) = 0;
  // A save-file dialog without overwrite confirmation or default extension; filter in the
  // "description|pattern|" form. Empty when cancelled.
  [[nodiscard]] virtual std::string SaveFileName(const std::string& title, const std::string& filter,
                                                 const std::string& initialName) = 0;
  // A folder chooser opening without a preselected folder; the folder as the system names it, empty
  // when cancelled.
  [[nodiscard]] virtual std::string ChooseFolder(const std::string& title) = 0;
};

}  // namespace app
