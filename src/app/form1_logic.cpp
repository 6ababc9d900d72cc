#include "app/form1_logic.h"

#include "app/application_folder.h"
#include "app/folder_dialog.h"
#include "app/form1_view.h"
#include "app/settings_file.h"
#include "build/build_sequence.h"
#include "build/compile_log.h"
#include "build/missing_model.h"
#include "build/tools_folder.h"
#include "catalogue/skipped_templates_report.h"
#include "platform/path.h"
#include "platform/user_data_folder.h"
#include "simlink/fs_connect.h"
#include "simlink/heading_button.h"

namespace app {
namespace {

// The title of the boxes that tell the user what to mend.
constexpr const char* kErrorTitle = "Parkmarq error";

// How often the window is repainted while the compiler runs.
constexpr std::chrono::milliseconds kPaintInterval{30};

// The text of the one box that reports a failure no step anticipated.
std::string FailureText(const std::string& action, const char* reason) {
  return action + " failed.\n\n" + reason;
}

}  // namespace

Form1Logic::Form1Logic(Form1View& view, std::string appFolder, build::NumberLocale locale)
    : Form1Logic(
          view, [folder = std::move(appFolder)] { return folder; }, std::move(locale)) {}

Form1Logic::Form1Logic(Form1View& view, std::function<std::string()> findAppFolder, build::NumberLocale locale)
    : view_(view),
      findAppFolder_(std::move(findAppFolder)),
      locale_(std::move(locale)),
      compileLog_(std::make_unique<build::CompileLog>()),
      link_(std::make_unique<simlink::FSConnect>()) {}

Form1Logic::~Form1Logic() = default;

void Form1Logic::Load() {
  objDOS = std::make_unique<runner::DOSOutputs>(static_cast<runner::RunnerMessages&>(*this));
  objDOS->ConnectReceiveOutputs([this](std::string& CommandOutputs) { objDOS_ReceiveOutputs(CommandOutputs); });
  objDOS->SetWaitHandler([this] { KeepPainted(); }, kPaintInterval);
  AttemptStartUpStep("Finding the program's folder", [this] {
    appFolder_ = findAppFolder_();
    installedCopy_ = IsInstalledCopy(appFolder_);
  });
  LoadDefaultOutputFolder();
  LoadTemplateCatalogue();
  if (catalogue_.Count() > 0) view_.SelectListItem(0);
  lst_vgds_Click();
}

bool Form1Logic::Unload() {
  // Shut-down must not run inside a build; the window closes when the build has ended.
  if (!buildGate_.MayClose()) return false;
  SaveDefaultOutputFolder();
  return true;
}

void Form1Logic::KeepPainted() {
  // Between chunks of a talkative compiler this is called far more often than a screen can show.
  const auto now = std::chrono::steady_clock::now();
  if (now - lastPainted_ < kPaintInterval / 2) return;
  lastPainted_ = now;
  view_.KeepPainted();
}

void Form1Logic::AttemptStartUpStep(const char* action, const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& failure) {
    startUpFailures_.push_back(FailureText(action, failure.what()));
  }
}

void Form1Logic::LoadDefaultOutputFolder() {
  if (appFolder_.empty()) return;
  std::optional<std::string> folder;
  AttemptStartUpStep("Reading the settings file", [&] { folder = ReadDefaultOutputFolder(appFolder_); });
  if (folder) {
    DefaultOutputFolder_ = std::move(*folder);
    view_.SetFolderToolTip(DefaultOutputFolder_);
  }
}

void Form1Logic::SaveDefaultOutputFolder() {
  // A folder that cannot be written must not keep the user from closing the window; without the
  // program's folder there is nowhere to write.
  if (!appFolder_.empty()) (void)app::SaveDefaultOutputFolder(appFolder_, DefaultOutputFolder_);
}

void Form1Logic::LoadTemplateCatalogue() {
  if (appFolder_.empty()) return;
  catalogue::CatalogueLoad load;
  AttemptStartUpStep("Loading the templates", [&] { load = catalogue::LoadTemplateCatalogue(appFolder_); });
  catalogue_ = std::move(load.catalogue);
  skippedTemplates_ = std::move(load.skipped);
  for (const auto& name : catalogue_.ListNames()) view_.AddListItem(name);
}

std::string Form1Logic::ProposalFolder() const {
  // An installed copy works in a folder the user never sees: a model saved there would be lost to them.
  if (!DefaultOutputFolder_.empty() || !installedCopy_) return DefaultOutputFolder_;
  try {
    return platform::DocumentsFolder() + platform::kPathSeparator;
  } catch (const std::runtime_error&) {
    return DefaultOutputFolder_;  // no home folder: the dialog opens where it always did
  }
}

void Form1Logic::ReportSkippedTemplates() {
  if (skippedTemplates_.empty()) return;
  view_.ShowCritical(kApplicationTitle, catalogue::SkippedTemplatesReport(skippedTemplates_));
}

void Form1Logic::ReportStartUpFailures() {
  if (startUpFailures_.empty()) return;
  std::string text;
  for (const auto& failure : startUpFailures_) text += (text.empty() ? "" : "\n\n") + failure;
  view_.ShowCritical(kApplicationTitle, text);
}

void Form1Logic::ReportFailure(const std::string& action, const std::exception& failure) {
  view_.ShowCritical(kApplicationTitle, FailureText(action, failure.what()));
}

void Form1Logic::lst_vgds_Click() {
  try {
    catalogue::ShowSelectedTemplate(view_, catalogue_, appFolder_);
  } catch (const std::exception& failure) {
    ReportFailure("Showing the template", failure);
  }
}

void Form1Logic::cmd_create_Click() {
  // The window stays painted during the compile, so a second click can reach it: it is refused.
  (void)buildGate_.Run([this] {
    try {
      const build::BuildContext context{
          catalogue_, appFolder_, ProposalFolder(), locale_, *objDOS, *compileLog_, build::WhenToolsBusy::Refuse};
      modelWatch_.reset();
      runnerReported_ = false;
      if (build::RunBuildSequence(*this, context) == build::BuildOutcome::Compiled) ReportMissingModel();
    } catch (const std::exception& failure) {
      ReportFailure("Creating the MDL file", failure);
    }
  });
  if (buildGate_.TakeDeferredClose()) view_.Close();
}

void Form1Logic::ReportMissingModel() {
  // A compiler that did not start has been reported by the runner already.
  if (runnerReported_ || !modelWatch_ || modelWatch_->Written()) return;
  const auto logPath = build::ToolsFilePath(appFolder_, build::kCompileLogName);
  view_.ShowCritical(kErrorTitle, build::NoModelReport(modelWatch_->ModelPath(), objDOS->Outputs(),
                                                       build::WholeOutputKeptIn(logPath)));
}

void Form1Logic::cmd_set_folder_Click() {
  auto chosen = Folder_Dialog::BrowseForFolder(view_);
  if (const auto refusal = app::UnstorableFolderMessage(chosen, DefaultOutputFolder_)) {
    view_.ShowCritical(kApplicationTitle, *refusal);
    return;
  }
  DefaultOutputFolder_ = std::move(chosen);
  view_.SetFolderToolTip(DefaultOutputFolder_);
}

void Form1Logic::cmd_heading_fs_Click() {
  try {
    if (const auto heading = simlink::ReadHeadingText(*link_)) {
      view_.SetFieldText(catalogue::Parameter::Heading, *heading);
    }
  } catch (const std::exception& failure) {
    ReportFailure("Reading the heading from the simulator link", failure);
  }
}

void Form1Logic::objDOS_ReceiveOutputs(std::string& CommandOutputs) {
  compileLog_->Append(CommandOutputs);
}

int Form1Logic::SelectedListIndex() const {
  return view_.SelectedListIndex();
}

build::ParameterField Form1Logic::Field(catalogue::Parameter parameter) const {
  return view_.Field(parameter);
}

void Form1Logic::ShowValidationError(const std::string& message) {
  view_.ShowCritical(kErrorTitle, message);
}

std::string Form1Logic::SaveDialog(const std::string& title, const std::string& filter, const std::string& idir) {
  auto outputPath = view_.SaveFileName(title, filter, idir);
  // The compiler starts right after the answer: the model file's state now is the one before the compile.
  if (!outputPath.empty()) modelWatch_ = std::make_unique<build::ModelFileWatch>(outputPath);
  return outputPath;
}

void Form1Logic::SetCreateCaption(const std::string& caption) {
  view_.SetCreateCaption(caption);
  // The caption is on the screen before the compiler starts, and what waited meanwhile is handled.
  if (buildGate_.Building()) {
    lastPainted_ = {};
    KeepPainted();
  }
}

void Form1Logic::ShowMessage(const std::string& text) {
  runnerReported_ = true;
  view_.ShowCritical(kApplicationTitle, text);
}

}  // namespace app
