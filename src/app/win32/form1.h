#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/form1_controls.h"
#include "app/form1_logic.h"
#include "app/form1_view.h"
#include "app/win32/controls.h"
#include "app/win32/picture_box.h"
#include "build/number_conversions.h"
#include "platform/win32_api.h"

namespace win32 {

class DialogService;

// The program's one window on Windows, made with the Win32 API. Like the Qt window it only shows
// and reads its controls; app::Form1Logic does the rest.
class Form1 final : private app::Form1View {
 public:
  // The control's id for WM_COMMAND and GetDlgItem. Clear of IDOK and IDCANCEL, which the dialog
  // manager sends for Enter and Esc.
  [[nodiscard]] static int ControlId(app::Control control) { return kFirstControlId + static_cast<int>(control); }

  // Creates the window, hidden, and runs the start-up sequence. appFolder holds vgds_source, tools
  // and the settings file; without dialogs the window shows the system's own.
  Form1(std::string appFolder, build::NumberLocale locale, DialogService* dialogs = nullptr);
  // The same with the folder still to be found by findAppFolder during start-up: a failure there is
  // reported by ReportStartUpFailures, in the open window.
  Form1(std::function<std::string()> findAppFolder, build::NumberLocale locale, DialogService* dialogs = nullptr);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  [[nodiscard]] HWND Handle() const { return handle_; }
  [[nodiscard]] const ToolTip& ToolTipWindow() const { return toolTip_; }
  void Show(int how) const;
  // Passes a message read from the thread's queue to the window, with the dialog manager's Tab,
  // Enter and Space keys and without Esc; false when it was for no window of this one.
  bool Translate(MSG& message) const;

  void ReportStartUpFailures() { logic_.ReportStartUpFailures(); }
  void ReportSkippedTemplates() { logic_.ReportSkippedTemplates(); }
  [[nodiscard]] const std::string& DefaultOutputFolder() const { return logic_.DefaultOutputFolder(); }

  // Controls, named as the rest of the program speaks of them.
  ListBox lst_vgds;
  Edit txt_description;
  PictureBox img_vgds;
  Window frm_parameters;
  Window lbl_heading;
  Button cmd_heading_fs;
  Edit txt_heading;
  Window lbl_stopdistance;
  Edit txt_stopdistance;
  Window lbl_visibilitydistance;
  Edit txt_visibilitydistance;
  Window lbl_lateraldistance;
  Edit txt_lateraldistance;
  Button cmd_set_folder;
  Button cmd_create;

 private:
  static constexpr int kFirstControlId = 100;

  static LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int notification);
  void CreateControls();
  // Places every control and sets the font for dpi dots per inch.
  void ApplyDpi(UINT dpi);
  [[nodiscard]] int Pixels(int twips) const;
  [[nodiscard]] Window& Member(app::Control control);
  [[nodiscard]] const Window& Member(app::Control control) const;

  // app::Form1View
  [[nodiscard]] int SelectedListIndex() const override;
  void AddListItem(const std::string& name) override;
  void SelectListItem(int index) override;
  void ShowPicture(const std::string& path) override;
  void ShowDescription(const std::string& text) override;
  void SetLabelEnabled(catalogue::Parameter parameter, bool enabled) override;
  void SetFieldEnabled(catalogue::Parameter parameter, bool enabled) override;
  [[nodiscard]] build::ParameterField Field(catalogue::Parameter parameter) const override;
  void SetFieldText(catalogue::Parameter parameter, const std::string& text) override;
  void SetCreateCaption(const std::string& caption) override;
  void SetFolderToolTip(const std::string& folder) override;
  void KeepPainted() override;
  void Close() override;
  void ShowCritical(const std::string& title, const std::string& text) override;
  [[nodiscard]] std::string SaveFileName(const std::string& title, const std::string& filter,
                                         const std::string& initialName) override;
  [[nodiscard]] std::string ChooseFolder(const std::string& title) override;

  GdiPlusSession gdiPlus_;
  std::unique_ptr<DialogService> systemDialogs_;
  DialogService& dialogs_;
  app::Form1Logic logic_;
  HWND handle_ = nullptr;
  ToolTip toolTip_;
  UINT dpi_ = app::kLayoutDpi;
  HFONT font_ = nullptr;
  HWND lastFocus_ = nullptr;
};

}  // namespace win32
