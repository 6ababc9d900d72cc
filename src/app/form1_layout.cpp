// The window's controls, their places, captions and focus order.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/app_icon.h"
#include "app/form1.h"
#include "build/build_sequence.h"

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kLayoutPointSize = 8;

QRect Twips(int left, int top, int width, int height) {
  return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Control>
Control* Place(Control* control, const char* name, QRect geometry) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(geometry);
  return control;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, QRect geometry) {
  auto* label = Place(new QLabel(QString::fromUtf8(caption), parent), name, geometry);
  label->setFocusPolicy(Qt::NoFocus);
  return label;
}

QLineEdit* MakeField(QWidget* parent, const char* name, catalogue::Parameter parameter, QRect geometry) {
  return Place(new QLineEdit(Text(catalogue::InitialText(parameter)), parent), name, geometry);
}

QPushButton* MakeButton(QWidget* parent, const char* name, std::string_view caption, QRect geometry) {
  auto* button = Place(new QPushButton(Text(caption), parent), name, geometry);
  // Neither Enter nor Esc belongs to any button.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace

void Form1::CreateControls() {
  setWindowTitle(QStringLiteral("Parkmarq"));
  setWindowIcon(app::AppIcon());
  // The layout's fixed sizes were drawn for an 8-point interface font; the platform's family at that
  // size keeps every caption inside its control.
  QFont interfaceFont = font();
  interfaceFont.setPointSize(kLayoutPointSize);
  setFont(interfaceFont);
  resize(Twips(0, 0, 6570, 6075).size());

  lst_vgds = Place(new QListWidget(this), "lst_vgds", Twips(120, 120, 3255, 2985));
  lst_vgds->setSelectionMode(QAbstractItemView::SingleSelection);
  lst_vgds->setSortingEnabled(false);

  txt_description = Place(new QPlainTextEdit(this), "txt_description", Twips(120, 3240, 3255, 2775));
  txt_description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txt_description->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  txt_description->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  txt_description->setTabChangesFocus(true);

  img_vgds = Place(new QLabel(this), "img_vgds", Twips(3480, 120, 2985, 2985));
  img_vgds->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  img_vgds->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  img_vgds->setScaledContents(false);
  img_vgds->setFocusPolicy(Qt::StrongFocus);

  frm_parameters =
      Place(new QGroupBox(QStringLiteral("Parameters"), this), "frm_parameters", Twips(3480, 3120, 3015, 1935));
  frm_parameters->setFocusPolicy(Qt::NoFocus);
  QWidget* frame = frm_parameters;
  lbl_heading = MakeLabel(frame, "lbl_heading", "Heading (deg):", Twips(120, 360, 1455, 255));
  cmd_heading_fs = MakeButton(frame, "cmd_heading_fs", "FS", Twips(1560, 360, 375, 240));
  txt_heading = MakeField(frame, "txt_heading", catalogue::Parameter::Heading, Twips(2040, 360, 855, 285));
  lbl_stopdistance = MakeLabel(frame, "lbl_stopdistance", "Stop distance (m):", Twips(120, 720, 1455, 255));
  txt_stopdistance =
      MakeField(frame, "txt_stopdistance", catalogue::Parameter::StopDistance, Twips(2040, 720, 855, 285));
  lbl_visibilitydistance =
      MakeLabel(frame, "lbl_visibilitydistance", "Visibility distance (m):", Twips(120, 1080, 1815, 255));
  txt_visibilitydistance =
      MakeField(frame, "txt_visibilitydistance", catalogue::Parameter::VisibilityDistance, Twips(2040, 1080, 855, 285));
  lbl_lateraldistance = MakeLabel(frame, "lbl_lateraldistance", "Lateral distance (m):", Twips(120, 1440, 1815, 255));
  txt_lateraldistance =
      MakeField(frame, "txt_lateraldistance", catalogue::Parameter::LateralDistance, Twips(2040, 1440, 855, 285));

  cmd_set_folder = MakeButton(this, "cmd_set_folder", "Set default output folder", Twips(3480, 5160, 3015, 375));
  cmd_create = MakeButton(this, "cmd_create", build::kCreateCaption, Twips(3480, 5640, 3015, 375));

  SetTabOrder();
}

void Form1::SetTabOrder() {
  // Focus follows the tab indices; labels and the frame take no focus, so they drop out.
  QWidget* const order[] = {img_vgds,           txt_description,  lst_vgds,
                            txt_heading,        txt_stopdistance, cmd_create,
                            cmd_set_folder,     cmd_heading_fs,   txt_visibilitydistance,
                            txt_lateraldistance};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  setTabOrder(order[std::size(order) - 1], order[0]);
}
