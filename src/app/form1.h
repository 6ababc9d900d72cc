#pragma once

#include <QWidget>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "app/build_gate.h"
#include "build/build_host.h"
#include "build/number_conversions.h"
#include "catalogue/selection.h"
#include "catalogue/template_catalogue.h"
#include "runner/dos_outputs.h"

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

namespace build {
class CompileLog;
}

namespace simlink {
class FSConnect;
}

// The program's one window. It owns all long-lived state and routes each user action to the code
// that carries it out; the window itself only shows and reads controls.
class Form1 final : public QWidget,
                    private build::BuildHost,
                    private catalogue::SelectionView,
                    private runner::RunnerMessages {
 public:
  // The title of the program's own message boxes, which carry no title of their own.
  static constexpr const char* kApplicationTitle = "parkmarq";

  // Runs the start-up sequence. appFolder holds vgds_source, tools and the settings file.
  Form1(std::string appFolder, platform::DialogService& dialogs, build::NumberLocale locale);
  ~Form1() override;

  // Names the descriptors that start-up had to skip, in one box, so the author can mend them.
  void ReportSkippedTemplates();

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

  [[nodiscard]] const std::string& DefaultOutputFolder() const { return DefaultOutputFolder_; }
  [[nodiscard]] const catalogue::TemplateCatalogue& TemplateCatalogue() const { return catalogue_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  void SetTabOrder();
  void LoadDefaultOutputFolder();
  void SaveDefaultOutputFolder();
  void LoadTemplateCatalogue();
  // Lets the window repaint and its timers run while a build blocks its thread; user input to the
  // window is dropped meanwhile.
  void KeepPainted();

  // Event handlers.
  void lst_vgds_Click();
  void cmd_create_Click();
  void cmd_set_folder_Click();
  void cmd_heading_fs_Click();
  void objDOS_ReceiveOutputs(std::string& CommandOutputs);

  // Reports a failure no step anticipated, in one way for every user action.
  void ReportFailure(const std::string& action, const std::exception& failure);
  [[nodiscard]] QLineEdit* FieldOf(catalogue::Parameter parameter) const;
  [[nodiscard]] QLabel* LabelOf(catalogue::Parameter parameter) const;

  // build::BuildHost
  [[nodiscard]] int SelectedListIndex() const override;
  [[nodiscard]] build::ParameterField Field(catalogue::Parameter parameter) const override;
  void ShowValidationError(const std::string& message) override;
  [[nodiscard]] std::string SaveDialog(const std::string& title, const std::string& filter,
                                       const std::string& idir) override;
  void SetCreateCaption(const std::string& caption) override;

  // catalogue::SelectionView
  void ShowPicture(const std::string& path) override;
  void ShowDescription(const std::string& text) override;
  void SetLabelEnabled(catalogue::Parameter parameter, bool enabled) override;
  void SetFieldEnabled(catalogue::Parameter parameter, bool enabled) override;

  // runner::RunnerMessages
  void ShowMessage(const std::string& text) override;

  std::string appFolder_;
  platform::DialogService& dialogs_;
  build::NumberLocale locale_;
  std::unique_ptr<runner::DOSOutputs> objDOS;
  std::string DefaultOutputFolder_;
  catalogue::TemplateCatalogue catalogue_;
  std::vector<catalogue::SkippedDescriptor> skippedTemplates_;
  std::unique_ptr<build::CompileLog> compileLog_;
  std::unique_ptr<simlink::FSConnect> link_;
  app::BuildGate buildGate_;
  std::chrono::steady_clock::time_point lastPainted_;
};
