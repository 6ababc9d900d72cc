#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/build_gate.h"
#include "build/build_host.h"
#include "build/number_conversions.h"
#include "catalogue/template_catalogue.h"
#include "runner/dos_outputs.h"

namespace build {
class CompileLog;
class ModelFileWatch;
}  // namespace build

namespace simlink {
class FSConnect;
}

namespace app {

class Form1View;

// The text of the program's own message boxes, which carry no title of their own.
inline constexpr const char* kApplicationTitle = "parkmarq";

// Everything the window does that does not depend on its toolkit: it owns the program's long-lived
// state, runs the start-up and shut-down sequences and carries out each user action, in the same
// order for the Qt window and the Win32 window. The window routes its controls' events here.
class Form1Logic final : private build::BuildHost, private runner::RunnerMessages {
 public:
  // view must outlive the object; appFolder holds vgds_source, tools and the settings file.
  Form1Logic(Form1View& view, std::string appFolder, build::NumberLocale locale);
  // The same with the folder still to be found, at start-up.
  Form1Logic(Form1View& view, std::function<std::string()> findAppFolder, build::NumberLocale locale);
  ~Form1Logic() override;
  Form1Logic(const Form1Logic&) = delete;
  Form1Logic& operator=(const Form1Logic&) = delete;

  // The start-up sequence, once, when the window's controls exist and before it is shown. A step that
  // fails (the program's folder not found, the settings file or the template folder unreadable) is
  // kept for ReportStartUpFailures and leaves its part empty: the window opens with the rest.
  void Load();
  // The shut-down sequence. false while a build runs: the window then stays, and closes when the
  // build has ended.
  [[nodiscard]] bool Unload();

  // Shows what start-up could not read, in one box, once the window is open.
  void ReportStartUpFailures();
  // Names the descriptors that start-up had to skip, in one box, so the author can mend them.
  void ReportSkippedTemplates();

  // Event handlers.
  void lst_vgds_Click();
  void cmd_create_Click();
  void cmd_set_folder_Click();
  void cmd_heading_fs_Click();

  [[nodiscard]] const std::string& DefaultOutputFolder() const { return DefaultOutputFolder_; }
  [[nodiscard]] const catalogue::TemplateCatalogue& TemplateCatalogue() const { return catalogue_; }

 private:
  void LoadDefaultOutputFolder();
  void SaveDefaultOutputFolder();
  void LoadTemplateCatalogue();
  // Where the save dialog proposes the model file.
  [[nodiscard]] std::string ProposalFolder() const;
  void objDOS_ReceiveOutputs(std::string& CommandOutputs);
  // Lets the window repaint while a build blocks its thread, no more often than a screen can show.
  void KeepPainted();
  // After a compile: one box when the compiler wrote no model file, with the end of what it printed.
  void ReportMissingModel();
  // Reports a failure no step anticipated, in one way for every user action.
  void ReportFailure(const std::string& action, const std::exception& failure);
  // Runs one start-up step; a failure is kept under action.
  void AttemptStartUpStep(const char* action, const std::function<void()>& step);

  // build::BuildHost
  [[nodiscard]] int SelectedListIndex() const override;
  [[nodiscard]] build::ParameterField Field(catalogue::Parameter parameter) const override;
  void ShowValidationError(const std::string& message) override;
  [[nodiscard]] std::string SaveDialog(const std::string& title, const std::string& filter,
                                       const std::string& idir) override;
  void SetCreateCaption(const std::string& caption) override;

  // runner::RunnerMessages
  void ShowMessage(const std::string& text) override;

  Form1View& view_;
  std::function<std::string()> findAppFolder_;
  std::string appFolder_;  // empty while unknown: nothing is read or written then
  std::vector<std::string> startUpFailures_;
  build::NumberLocale locale_;
  std::unique_ptr<runner::DOSOutputs> objDOS;
  std::string DefaultOutputFolder_;
  bool installedCopy_ = false;
  catalogue::TemplateCatalogue catalogue_;
  std::vector<catalogue::SkippedDescriptor> skippedTemplates_;
  std::unique_ptr<build::CompileLog> compileLog_;
  std::unique_ptr<simlink::FSConnect> link_;
  std::unique_ptr<build::ModelFileWatch> modelWatch_;  // of the build running or last run
  bool runnerReported_ = false;                        // the runner has shown why the compiler did not run
  BuildGate buildGate_;
  std::chrono::steady_clock::time_point lastPainted_;
};

}  // namespace app
