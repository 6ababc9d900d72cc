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

#include "platform/dialogs.h"

namespace {

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
    : Form1([folder = std::move(appFolder)] { return folder; }, dialogs, std::move(locale)) {}

Form1::Form1(std::function<std::string()> findAppFolder, platform::DialogService& dialogs, build::NumberLocale locale)
    : dialogs_(dialogs), logic_(*this, std::move(findAppFolder), std::move(locale)) {
  CreateControls();
  connect(lst_vgds, &QListWidget::itemSelectionChanged, this, [this] { logic_.lst_vgds_Click(); });
  connect(cmd_create, &QPushButton::clicked, this, [this] { logic_.cmd_create_Click(); });
  connect(cmd_set_folder, &QPushButton::clicked, this, [this] { logic_.cmd_set_folder_Click(); });
  connect(cmd_heading_fs, &QPushButton::clicked, this, [this] { logic_.cmd_heading_fs_Click(); });
  logic_.Load();
}

Form1::~Form1() = default;

void Form1::closeEvent(QCloseEvent* event) {
  if (logic_.Unload()) {
    event->accept();
  } else {
    event->ignore();
  }
}

QLineEdit* Form1::FieldOf(catalogue::Parameter parameter) const {
  return static_cast<QLineEdit*>(Member(app::FieldOf(parameter)));
}

int Form1::SelectedListIndex() const {
  // The highlighted item, which the list keeps once there is one; the current item may differ.
  const auto selected = lst_vgds->selectedItems();
  return selected.isEmpty() ? -1 : lst_vgds->row(selected.first());
}

void Form1::AddListItem(const std::string& name) {
  const QSignalBlocker quiet(lst_vgds);
  lst_vgds->addItem(FromBytes(name));
}

void Form1::SelectListItem(int index) {
  const QSignalBlocker quiet(lst_vgds);
  lst_vgds->setCurrentRow(index);
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
  Member(app::LabelOf(parameter))->setEnabled(enabled);
}

void Form1::SetFieldEnabled(catalogue::Parameter parameter, bool enabled) {
  FieldOf(parameter)->setEnabled(enabled);
}

build::ParameterField Form1::Field(catalogue::Parameter parameter) const {
  const QLineEdit* field = FieldOf(parameter);
  return {field->text().toStdString(), field->isEnabled()};
}

void Form1::SetFieldText(catalogue::Parameter parameter, const std::string& text) {
  FieldOf(parameter)->setText(FromBytes(text));
}

void Form1::SetCreateCaption(const std::string& caption) {
  cmd_create->setText(FromBytes(caption));
  // On the screen before the compiler starts, not when the event loop next runs.
  cmd_create->repaint();
}

void Form1::SetFolderToolTip(const std::string& folder) {
  cmd_set_folder->setToolTip(FromBytes(folder));
}

void Form1::KeepPainted() {
  const InputBlocker noInput(this);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Form1::Close() {
  close();
}

void Form1::ShowCritical(const std::string& title, const std::string& text) {
  dialogs_.ShowCritical(this, FromBytes(title), FromBytes(text));
}

std::string Form1::SaveFileName(const std::string& title, const std::string& filter, const std::string& initialName) {
  return dialogs_.SaveFileName(this, FromBytes(title), FromBytes(filter), FromBytes(initialName)).toStdString();
}

std::string Form1::ChooseFolder(const std::string& title) {
  return dialogs_.ExistingFolder(this, FromBytes(title)).toStdString();
}
