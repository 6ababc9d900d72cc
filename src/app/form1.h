#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "app/form1_controls.h"
#include "app/form1_logic.h"
#include "app/form1_view.h"
#include "build/number_conversions.h"

class QCloseEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace platform {
class DialogService;
}

// The program's one window on Linux, made with Qt. It only shows and reads its controls;
// app::Form1Logic does the rest.
class Form1 final : public QWidget, private app::Form1View {
 public:
  // Runs the start-up sequence. appFolder holds vgds_source, tools and the settings file.
  Form1(std::string appFolder, platform::DialogService& dialogs, build::NumberLocale locale);
  // The same with the folder still to be found; see app::Form1Logic::Load.
  Form1(std::function<std::string()> findAppFolder, platform::DialogService& dialogs, build::NumberLocale locale);
  ~Form1() override;

  void ReportStartUpFailures() { logic_.ReportStartUpFailures(); }
  void ReportSkippedTemplates() { logic_.ReportSkippedTemplates(); }
  [[nodiscard]] const std::string& DefaultOutputFolder() const { return logic_.DefaultOutputFolder(); }
  [[nodiscard]] const catalogue::TemplateCatalogue& TemplateCatalogue() const { return logic_.TemplateCatalogue(); }

  // Controls, named as the rest of the program speaks of them.
  QListWidget* lst_vgds;
  QPlainTextEdit* txt_description;
  QLabel* img_vgds;
  QGroupBox* frm_parameters;
  QLabel* lbl_heading;
  QPushButton* cmd_heading_fs;
  QLineEdit* txt_heading;
  QLabel* lbl_stopdistance;
  QLineEdit* txt_stopdistance;
  QLabel* lbl_visibilitydistance;
  QLineEdit* txt_visibilitydistance;
  QLabel* lbl_lateraldistance;
  QLineEdit* txt_lateraldistance;
  QPushButton* cmd_set_folder;
  QPushButton* cmd_create;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  void SetTabOrder();
  template <typename Widget>
  Widget* Place(app::Control control);
  [[nodiscard]] QWidget* Member(app::Control control) const;
  [[nodiscard]] QLineEdit* FieldOf(catalogue::Parameter parameter) const;

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

  platform::DialogService& dialogs_;
  app::Form1Logic logic_;
};
