#pragma once

#include <string>

#include "platform/win32_api.h"

namespace win32 {

// The modal dialogs the Win32 window shows, texts in the ANSI code page. Tests replace this with
// scripted answers so that no test ever waits for a person.
class DialogService {
 public:
  virtual ~DialogService() = default;
  // A message box with the critical icon and a single OK button.
  virtual void ShowCritical(HWND owner, const std::string& title, const std::string& text) = 0;
  // A save-file dialog: no overwrite confirmation, no default extension. Empty when cancelled.
  // filter is in the "description|pattern|" form, pairs separated by "|".
  virtual std::string SaveFileName(HWND owner, const std::string& title, const std::string& filter,
                                   const std::string& initialName) = 0;
  // The shell's folder browser, modal to owner, opening without a preselected folder, only
  // file-system folders. The folder's path as the shell gives it; empty when cancelled.
  virtual std::string ExistingFolder(HWND owner, const std::string& title) = 0;
};

// The system's own dialogs.
class SystemDialogs final : public DialogService {
 public:
  void ShowCritical(HWND owner, const std::string& title, const std::string& text) override;
  std::string SaveFileName(HWND owner, const std::string& title, const std::string& filter,
                           const std::string& initialName) override;
  std::string ExistingFolder(HWND owner, const std::string& title) override;
};

// "MDL file (*.mdl)|*.mdl|" as the save dialog takes it: each "|" a NUL, and one NUL more at the end.
[[nodiscard]] std::string FilterFromPairs(const std::string& filter);

}  // namespace win32
