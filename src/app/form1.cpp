#include "app/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWindow>

#include "app/folder_dialog.h"
#include "app/settings_file.h"
#include "build/build_sequence.h"
#include "build/compile_log.h"
#include "platform/dialogs.h"
#include "simlink/fs_connect.h"
#include "simlink/heading_button.h"

namespace {

constexpr const char* kValidationTitle = "Parkmarq error";

// How often the window is repainted while the compiler runs.
constexpr std::chrono::milliseconds kPaintInterval{30};

QString FromBytes(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Drops user input to one window and its controls for as long as it lives, so that events processed
// during a build only repaint. Dialogs shown meanwhile are other windows and keep their input.
class InputBlocker final : public QObject {
 public:
  explicit InputBlocker(QWidget* window) : window_(window) { QCoreApplication::instance()->installEventFilter(this); }
  ~InputBlocker() override { QCoreApplication::instance()->removeEventFilter(this); }
  InputBlocker(const InputBlocker&) = delete;
  InputBlocker& operator=(const InputBlocker&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!IsInput(*event)) return false;
    if (const auto* widget = qobject_cast<QWidget*>(watched)) return widget->window() == window_;
    if (const auto* window = qobject_cast<QWindow*>(watched)) return window == window_->windowHandle();
    return false;
  }

 private:
  static bool IsInput(const QEvent& event) {
    switch (event.type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop:
      case QEvent::Shortcut: return true;
      default: return event.isInputEvent();
    }
  }

  QWidget* window_;
};

}  // namespace

Form1::Form1(std::string appFolder, platform::DialogService& dialogs, build::NumberLocale locale)
    : appFolder_(std::move(appFolder)), dialogs_(dialogs), locale_(std::move(locale)) {
  CreateControls();
  connect(lst_vgds, &QListWidget::currentRowChanged, this, [this] { lst_vgds_Click(); });
  connect(cmd_create, &QPushButton::clicked, this, [this] { cmd_create_Click(); });
  connect(cmd_set_folder, &QPushButton::clicked, this, [this] { cmd_set_folder_Click(); });
  connect(cmd_heading_fs, &QPushButton::clicked, this, [this] { cmd_heading_fs_Click(); });

  compileLog_ = std::make_unique<build::CompileLog>();
  link_ = std::make_unique<simlink::FSConnect>();

  // Start-up, in this order.
  objDOS = std::make_unique<runner::DOSOutputs>(static_cast<runner::RunnerMessages&>(*this));
  objDOS->ConnectReceiveOutputs([this](std::string& CommandOutputs) { objDOS_ReceiveOutputs(CommandOutputs); });
  objDOS->SetWaitHandler([this] { KeepPainted(); }, kPaintInterval);
  LoadDefaultOutputFolder();
  LoadTemplateCatalogue();
  {
    const QSignalBlocker quiet(lst_vgds);
    if (lst_vgds->count() > 0) lst_vgds->setCurrentRow(0);
  }
  lst_vgds_Click();
}

Form1::~Form1() = default;

void Form1::closeEvent(QCloseEvent* event) {
  // Shut-down must not run inside a build; the window closes when the build has ended.
  if (!buildGate_.MayClose()) {
    event->ignore();
    return;
  }
  SaveDefaultOutputFolder();
  event->accept();
}

void Form1::KeepPainted() {
  // Between chunks of a talkative compiler this is called far more often than a screen can show.
  const auto now = std::chrono::steady_clock::now();
  if (now - lastPainted_ < kPaintInterval / 2) return;
  lastPainted_ = now;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Form1::LoadDefaultOutputFolder() {
  if (auto folder = app::LoadDefaultOutputFolder(appFolder_)) {
    DefaultOutputFolder_ = std::move(*folder);
    cmd_set_folder->setToolTip(FromBytes(DefaultOutputFolder_));
  }
}

void Form1::SaveDefaultOutputFolder() {
  // A folder that cannot be written must not keep the user from closing the window.
  (void)app::SaveDefaultOutputFolder(appFolder_, DefaultOutputFolder_);
}

void Form1::LoadTemplateCatalogue() {
  auto load = catalogue::LoadTemplateCatalogue(appFolder_);
  catalogue_ = std::move(load.catalogue);
  skippedTemplates_ = std::move(load.skipped);
  const QSignalBlocker quiet(lst_vgds);
  for (const auto& name : catalogue_.ListNames()) lst_vgds->addItem(FromBytes(name));
}

void Form1::ReportSkippedTemplates() {
  if (skippedTemplates_.empty()) return;
  QString text = QStringLiteral("These template files in the vgds_source folder were not read:\n");
  for (const auto& skipped : skippedTemplates_) {
    text += QStringLiteral("\n") + FromBytes(skipped.fileName) + QStringLiteral(": ") + FromBytes(skipped.reason);
  }
  dialogs_.ShowCritical(this, QString::fromLatin1(kApplicationTitle), text);
}

void Form1::ReportFailure(const std::string& action, const std::exception& failure) {
  dialogs_.ShowCritical(this, QString::fromLatin1(kApplicationTitle),
                        FromBytes(action) + QStringLiteral(" failed.\n\n") + QString::fromUtf8(failure.what()));
}

void Form1::lst_vgds_Click() {
  try {
    catalogue::ShowSelectedTemplate(*this, catalogue_, appFolder_);
  } catch (const std::exception& failure) {
    ReportFailure("Showing the template", failure);
  }
}

void Form1::cmd_create_Click() {
  (void)buildGate_.Run([this] {
    const InputBlocker noInput(this);
    try {
      const build::BuildContext context{catalogue_, appFolder_,   DefaultOutputFolder_,        locale_,
                                        *objDOS,    *compileLog_, build::WhenToolsBusy::Refuse};
      (void)build::RunBuildSequence(*this, context);
    } catch (const std::exception& failure) {
      ReportFailure("Creating the MDL file", failure);
    }
  });
  if (buildGate_.TakeDeferredClose()) close();
}

void Form1::cmd_set_folder_Click() {
  DefaultOutputFolder_ = Folder_Dialog::BrowseForFolder(this, dialogs_);
  cmd_set_folder->setToolTip(FromBytes(DefaultOutputFolder_));
}

void Form1::cmd_heading_fs_Click() {
  try {
    if (const auto heading = simlink::ReadHeadingText(*link_)) txt_heading->setText(FromBytes(*heading));
  } catch (const std::exception& failure) {
    ReportFailure("Reading the heading from the simulator link", failure);
  }
}

void Form1::objDOS_ReceiveOutputs(std::string& CommandOutputs) {
  compileLog_->Append(CommandOutputs);
}

QLineEdit* Form1::FieldOf(catalogue::Parameter parameter) const {
  switch (parameter) {
    case catalogue::Parameter::Heading: return txt_heading;
    case catalogue::Parameter::StopDistance: return txt_stopdistance;
    case catalogue::Parameter::VisibilityDistance: return txt_visibilitydistance;
    case catalogue::Parameter::LateralDistance: return txt_lateraldistance;
  }
  return txt_heading;
}

QLabel* Form1::LabelOf(catalogue::Parameter parameter) const {
  switch (parameter) {
    case catalogue::Parameter::Heading: return lbl_heading;
    case catalogue::Parameter::StopDistance: return lbl_stopdistance;
    case catalogue::Parameter::VisibilityDistance: return lbl_visibilitydistance;
    case catalogue::Parameter::LateralDistance: return lbl_lateraldistance;
  }
  return lbl_heading;
}

int Form1::SelectedListIndex() const {
  return lst_vgds->currentRow();
}

build::ParameterField Form1::Field(catalogue::Parameter parameter) const {
  const QLineEdit* field = FieldOf(parameter);
  return {field->text().toStdString(), field->isEnabled()};
}

void Form1::ShowValidationError(const std::string& message) {
  dialogs_.ShowCritical(this, QString::fromLatin1(kValidationTitle), FromBytes(message));
}

std::string Form1::SaveDialog(const std::string& title, const std::string& filter, const std::string& idir) {
  return dialogs_.SaveFileName(this, FromBytes(title), FromBytes(filter), FromBytes(idir)).toStdString();
}

void Form1::SetCreateCaption(const std::string& caption) {
  cmd_create->setText(FromBytes(caption));
  // Painted now, so the caption is on the screen before the compiler starts and after it ends.
  cmd_create->repaint();
  if (buildGate_.Building()) {
    lastPainted_ = {};
    KeepPainted();
  }
}

void Form1::ShowPicture(const std::string& path) {
  // A picture that cannot be loaded leaves the box empty.
  const QPixmap picture = path.empty() ? QPixmap() : QPixmap(FromBytes(path));
  if (picture.isNull()) {
    img_vgds->clear();
  } else {
    img_vgds->setPixmap(picture);
  }
}

void Form1::ShowDescription(const std::string& text) {
  txt_description->setPlainText(FromBytes(text));
}

void Form1::SetLabelEnabled(catalogue::Parameter parameter, bool enabled) {
  LabelOf(parameter)->setEnabled(enabled);
}

void Form1::SetFieldEnabled(catalogue::Parameter parameter, bool enabled) {
  FieldOf(parameter)->setEnabled(enabled);
}

void Form1::ShowMessage(const std::string& text) {
  dialogs_.ShowCritical(this, QString::fromLatin1(kApplicationTitle), FromBytes(text));
}
