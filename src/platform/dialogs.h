#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace platform {

// The modal dialogs the window shows. Tests replace this with scripted answers so that no test
// ever waits for a person.
class DialogService {
 public:
  virtual ~DialogService() = default;
  // A message box with the critical icon and a single OK button.
  virtual void ShowCritical(QWidget* owner, const QString& title, const QString& text) = 0;
  // A save-file dialog: no overwrite confirmation, no default suffix. Empty when cancelled.
  // filter is in the "description|pattern|" form, pairs separated by "|".
  virtual QString SaveFileName(QWidget* owner, const QString& title, const QString& filter,
                               const QString& initialName) = 0;
  // A folder chooser, modal to owner, opening without a preselected folder. Empty when cancelled.
  virtual QString ExistingFolder(QWidget* owner, const QString& title) = 0;
};

// The real dialogs. The file dialogs start where the window asks, never where the user last browsed,
// and leave no file behind. Create one before the first dialog is shown.
class QtDialogService final : public DialogService {
 public:
  QtDialogService();

  void ShowCritical(QWidget* owner, const QString& title, const QString& text) override;
  QString SaveFileName(QWidget* owner, const QString& title, const QString& filter,
                       const QString& initialName) override;
  QString ExistingFolder(QWidget* owner, const QString& title) override;
};

// How the save dialog is set up before it is shown: in the folder of initialName (the current folder
// for a bare name), with its file name filled in; Qt's own dialog, asking nothing about overwriting.
void PrepareSaveDialog(QFileDialog& dialog, const QString& filter, const QString& initialName);
// How the folder browser is set up: folders only, at the top of the file system, none chosen yet.
void PrepareFolderBrowser(QFileDialog& dialog);

// "MDL file (*.mdl)|*.mdl|" becomes "MDL file (*.mdl)": each description keeps its text and gets its
// patterns in parentheses unless it already ends with them; pairs are joined with ";;".
[[nodiscard]] QString QtFilterFromPairs(const QString& filter);

}  // namespace platform
