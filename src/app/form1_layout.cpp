// The window's controls, made from the layout table, and their focus order.
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/app_icon.h"
#include "app/form1.h"

namespace {

using app::Control;

constexpr int kTwipsPerPixel = app::kTwipsPerInch / app::kLayoutDpi;
// The layout's point size at its density, rounded as Windows sizes a font (11 pixels for 8 points):
// twips map to pixels at that density too, so the font is sized in pixels as well.
constexpr int kPointsPerInch = 72;
constexpr int kLayoutFontPixels = (app::kLayoutPointSize * app::kLayoutDpi + kPointsPerInch / 2) / kPointsPerInch;
// A sans-serif face with the widths the layout was drawn for, from Debian's fonts-liberation.
constexpr const char* kLayoutFontFamily = "Liberation Sans";
constexpr const char* kLayoutFontFile = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

QRect Pixels(const app::TwipsRect& twips) {
  return {twips.left / kTwipsPerPixel, twips.top / kTwipsPerPixel, twips.width / kTwipsPerPixel,
          twips.height / kTwipsPerPixel};
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetCaption(QWidget*, const QString&) {}
void SetCaption(QLabel* label, const QString& caption) {
  label->setText(caption);
}
void SetCaption(QLineEdit* field, const QString& caption) {
  field->setText(caption);
}
void SetCaption(QPushButton* button, const QString& caption) {
  button->setText(caption);
}
void SetCaption(QGroupBox* frame, const QString& caption) {
  frame->setTitle(caption);
}

// A list box of Windows with single selection: once an item is selected, only another item can take
// its place; neither Ctrl with a click or Space nor a click below the last item clears it.
class SingleSelectionList final : public QListWidget {
 public:
  using QListWidget::QListWidget;

 protected:
  [[nodiscard]] QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const override {
    if (!index.isValid()) return QItemSelectionModel::NoUpdate;
    const auto command = QListWidget::selectionCommand(index, event);
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) {
      return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    }
    return command;
  }
};

// As on Windows, Enter clicks the button that has the focus although no button is the default.
class CommandButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      click();
      return;
    }
    QPushButton::keyPressEvent(event);
  }
};

// The layout's font, from the installed file when the font database does not know it yet.
QFont LayoutFont(const QFont& fallback) {
  const QString family = QString::fromLatin1(kLayoutFontFamily);
  if (!QFontDatabase::hasFamily(family)) (void)QFontDatabase::addApplicationFont(QString::fromLatin1(kLayoutFontFile));
  QFont font = QFontDatabase::hasFamily(family) ? QFont(family) : fallback;
  font.setPixelSize(kLayoutFontPixels);
  return font;
}

}  // namespace

template <typename Widget>
Widget* Form1::Place(Control control) {
  const app::ControlLayout& layout = app::LayoutOf(control);
  // Qt's frame holds its controls, so their places stay relative to it.
  QWidget* parent = layout.inFrame ? static_cast<QWidget*>(frm_parameters) : this;
  auto* widget = new Widget(parent);
  widget->setObjectName(Text(layout.name));
  widget->setGeometry(Pixels(layout.place));
  SetCaption(widget, Text(layout.caption));
  if (!app::TakesFocus(layout.kind)) widget->setFocusPolicy(Qt::NoFocus);
  if constexpr (std::is_base_of_v<QPushButton, Widget>) {
    // Neither Enter nor Esc belongs to any button.
    widget->setAutoDefault(false);
    widget->setDefault(false);
  }
  return widget;
}

void Form1::CreateControls() {
  setWindowTitle(Text(app::kForm1Caption));
  setWindowIcon(app::AppIcon());
  setFont(LayoutFont(font()));
  resize(Pixels({0, 0, app::kClientWidthTwips, app::kClientHeightTwips}).size());

  lst_vgds = Place<SingleSelectionList>(Control::lst_vgds);
  lst_vgds->setSelectionMode(QAbstractItemView::SingleSelection);
  lst_vgds->setSortingEnabled(false);
  // A long name is cut at the edge, as in a list box without a horizontal scroll bar.
  lst_vgds->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  lst_vgds->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  lst_vgds->setTextElideMode(Qt::ElideNone);

  txt_description = Place<QPlainTextEdit>(Control::txt_description);
  txt_description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txt_description->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  txt_description->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  txt_description->setTabChangesFocus(true);

  img_vgds = Place<QLabel>(Control::img_vgds);
  img_vgds->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  img_vgds->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  img_vgds->setScaledContents(false);
  img_vgds->setFocusPolicy(Qt::StrongFocus);

  frm_parameters = Place<QGroupBox>(Control::frm_parameters);
  lbl_heading = Place<QLabel>(Control::lbl_heading);
  cmd_heading_fs = Place<CommandButton>(Control::cmd_heading_fs);
  txt_heading = Place<QLineEdit>(Control::txt_heading);
  lbl_stopdistance = Place<QLabel>(Control::lbl_stopdistance);
  txt_stopdistance = Place<QLineEdit>(Control::txt_stopdistance);
  lbl_visibilitydistance = Place<QLabel>(Control::lbl_visibilitydistance);
  txt_visibilitydistance = Place<QLineEdit>(Control::txt_visibilitydistance);
  lbl_lateraldistance = Place<QLabel>(Control::lbl_lateraldistance);
  txt_lateraldistance = Place<QLineEdit>(Control::txt_lateraldistance);

  cmd_set_folder = Place<CommandButton>(Control::cmd_set_folder);
  cmd_create = Place<CommandButton>(Control::cmd_create);

  SetTabOrder();
}

void Form1::SetTabOrder() {
  // Labels and the frame take no focus, so they drop out of the order.
  const auto order = app::FocusOrder();
  for (std::size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(Member(order[i]), Member(order[i + 1]));
  setTabOrder(Member(order.back()), Member(order.front()));
}

QWidget* Form1::Member(Control control) const {
  switch (control) {
    case Control::lst_vgds: return lst_vgds;
    case Control::txt_description: return txt_description;
    case Control::img_vgds: return img_vgds;
    case Control::frm_parameters: return frm_parameters;
    case Control::lbl_heading: return lbl_heading;
    case Control::cmd_heading_fs: return cmd_heading_fs;
    case Control::txt_heading: return txt_heading;
    case Control::lbl_stopdistance: return lbl_stopdistance;
    case Control::txt_stopdistance: return txt_stopdistance;
    case Control::lbl_visibilitydistance: return lbl_visibilitydistance;
    case Control::txt_visibilitydistance: return txt_visibilitydistance;
    case Control::lbl_lateraldistance: return lbl_lateraldistance;
    case Control::txt_lateraldistance: return txt_lateraldistance;
    case Control::cmd_set_folder: return cmd_set_folder;
    case Control::cmd_create: return cmd_create;
  }
  return lst_vgds;
}
