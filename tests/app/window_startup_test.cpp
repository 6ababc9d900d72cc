#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTest>
#include <filesystem>
#include <system_error>

#include "app/window_fixture.h"

namespace {

constexpr const char* kAll = "True\r\nTrue\r\nTrue\r\nTrue\r\n";
constexpr const char* kHeadingAndVisibility = "True\r\nFalse\r\nTrue\r\nFalse\r\n";
constexpr const char* kNone = "False\r\nFalse\r\nFalse\r\nFalse\r\n";

QRect Pixels(int left, int top, int width, int height) {
  return {left / 15, top / 15, width / 15, height / 15};
}

TEST_F(WindowTest, StartsWithFirstTemplateSelectedAndInitialTexts) {
  AddTemplate("first", kHeadingAndVisibility, "First dock", "first.png", "line one\r\nline two\r\n");
  AddPicture("first.png", 50, 40);
  Start();

  EXPECT_EQ(form->windowTitle(), QStringLiteral("Parkmarq"));
  EXPECT_EQ(form->windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)});
  EXPECT_EQ(form->lst_vgds->count(), 1);
  EXPECT_EQ(form->lst_vgds->currentRow(), 0);
  EXPECT_EQ(form->txt_description->toPlainText(), QStringLiteral("line one\nline two\n"));
  ASSERT_FALSE(form->img_vgds->pixmap().isNull());
  EXPECT_EQ(form->img_vgds->pixmap().size(), QSize(50, 40));

  EXPECT_EQ(form->txt_heading->text(), QStringLiteral("0"));
  EXPECT_EQ(form->txt_stopdistance->text(), QStringLiteral("20"));
  EXPECT_EQ(form->txt_visibilitydistance->text(), QStringLiteral("500"));
  EXPECT_EQ(form->txt_lateraldistance->text(), QStringLiteral("10"));
  EXPECT_TRUE(form->txt_heading->isEnabled() && form->lbl_heading->isEnabled());
  EXPECT_FALSE(form->txt_stopdistance->isEnabled() || form->lbl_stopdistance->isEnabled());
  EXPECT_TRUE(form->txt_visibilitydistance->isEnabled() && form->lbl_visibilitydistance->isEnabled());
  EXPECT_FALSE(form->txt_lateraldistance->isEnabled() || form->lbl_lateraldistance->isEnabled());
  EXPECT_EQ(form->cmd_create->text(), QStringLiteral("Create new MDL"));
  EXPECT_EQ(form->cmd_set_folder->text(), QStringLiteral("Set default output folder"));
  EXPECT_EQ(form->frm_parameters->title(), QStringLiteral("Parameters"));
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowTest, ControlsKeepTheirPlacesWhenTheWindowIsEnlarged) {
  AddTemplate("first", kAll, "First", "none.png");
  Start();
  const struct {
    QWidget* control;
    QRect geometry;
  } expected[] = {
      {form->lst_vgds, Pixels(120, 120, 3255, 2985)},
      {form->txt_description, Pixels(120, 3240, 3255, 2775)},
      {form->img_vgds, Pixels(3480, 120, 2985, 2985)},
      {form->frm_parameters, Pixels(3480, 3120, 3015, 1935)},
      {form->cmd_set_folder, Pixels(3480, 5160, 3015, 375)},
      {form->cmd_create, Pixels(3480, 5640, 3015, 375)},
      {form->lbl_heading, Pixels(120, 360, 1455, 255)},
      {form->cmd_heading_fs, Pixels(1560, 360, 375, 240)},
      {form->txt_heading, Pixels(2040, 360, 855, 285)},
      {form->txt_lateraldistance, Pixels(2040, 1440, 855, 285)},
      {form->lbl_visibilitydistance, Pixels(120, 1080, 1815, 255)},
  };
  EXPECT_EQ(form->size(), QSize(438, 405));
  form->resize(900, 800);
  QApplication::processEvents();
  for (const auto& e : expected) {
    SCOPED_TRACE(e.control->objectName().toStdString());
    EXPECT_EQ(e.control->geometry(), e.geometry);
  }
}

TEST_F(WindowTest, EveryCaptionAndInitialTextFitsItsControlInTheLayoutFont) {
  AddTemplate("first", kAll, "First", "none.png");
  Start();
  EXPECT_EQ(QFontInfo(form->font()).family().toStdString(), "Liberation Sans");
  EXPECT_EQ(QFontInfo(form->font()).pixelSize(), 11);
  // Room for the text inside each control, as its style draws it.
  const auto textRoom = [](QWidget* control) -> QRect {
    if (auto* button = qobject_cast<QPushButton*>(control)) {
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    if (auto* field = qobject_cast<QLineEdit*>(control)) {
      QStyleOptionFrame option;
      option.initFrom(field);
      option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
      constexpr int kTextMargin = 2;  // QLineEdit's own, on either side
      return field->style()
          ->subElementRect(QStyle::SE_LineEditContents, &option, field)
          .adjusted(kTextMargin, 0, -kTextMargin, 0);
    }
    return control->contentsRect();
  };
  const auto textOf = [](QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* button = qobject_cast<QPushButton*>(control)) return button->text();
    if (auto* field = qobject_cast<QLineEdit*>(control)) return field->text();
    return qobject_cast<QGroupBox*>(control)->title();
  };
  QWidget* const controls[] = {form->lbl_heading,
                               form->lbl_stopdistance,
                               form->lbl_visibilitydistance,
                               form->lbl_lateraldistance,
                               form->cmd_heading_fs,
                               form->cmd_set_folder,
                               form->cmd_create,
                               form->txt_heading,
                               form->txt_stopdistance,
                               form->txt_visibilitydistance,
                               form->txt_lateraldistance,
                               form->frm_parameters};
  for (QWidget* control : controls) {
    SCOPED_TRACE(control->objectName().toStdString());
    const QFontMetrics metrics(control->font());
    const QRect room = textRoom(control);
    EXPECT_LE(metrics.horizontalAdvance(textOf(control)), room.width());
    EXPECT_LE(metrics.height(), control->height());
  }
  form->cmd_create->setText(QStringLiteral("Compiling ..."));
  EXPECT_LE(QFontMetrics(form->cmd_create->font()).horizontalAdvance(form->cmd_create->text()),
            textRoom(form->cmd_create).width());
}

TEST_F(WindowTest, TheListScrollsOnlyUpAndDownAndOnlyWhenItsItemsDoNotFit) {
  const struct {
    const char* name;
    int templates;
    bool vertical;
  } cases[] = {{"a few with a long name", 3, false}, {"more than the list shows", 40, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const testing_support::TempFolder folder;
    for (int i = 0; i < c.templates; ++i) {
      folder.Write("vgds_source/t" + std::to_string(i) + ".vgp",
                   std::string(kAll) + "Lateral bars (stop and lateral distance), also with a long name " +
                       std::to_string(i) + "\r\nnone.png\r\nt.asm\r\nr\r\n");
    }
    form = std::make_unique<Form1>(folder.Str(), dialogs, build::NumberLocale{});
    form->show();
    QApplication::processEvents();
    ASSERT_EQ(form->lst_vgds->count(), c.templates);
    EXPECT_FALSE(form->lst_vgds->horizontalScrollBar()->isVisible());
    EXPECT_EQ(form->lst_vgds->verticalScrollBar()->isVisible(), c.vertical);
  }
}

TEST_F(WindowTest, TabVisitsControlsInTabIndexOrderSkippingDisabledFields) {
  AddTemplate("a_all", kAll, "All", "none.png");
  AddTemplate("b_some", kHeadingAndVisibility, "Some", "none.png");
  Start();
  QApplication::setActiveWindow(form.get());
  const auto selectByName = [&](const QString& name) {
    form->lst_vgds->setCurrentRow(form->lst_vgds->row(form->lst_vgds->findItems(name, Qt::MatchExactly).first()));
  };
  const auto tabCycle = [&](QWidget* start, int steps) {
    start->setFocus();
    std::vector<QString> visited;
    for (int i = 0; i < steps; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited.push_back(QApplication::focusWidget()->objectName());
    }
    return visited;
  };

  selectByName(QStringLiteral("All"));
  const std::vector<QString> all = {
      "txt_stopdistance",    "cmd_create", "cmd_set_folder",  "cmd_heading_fs", "txt_visibilitydistance",
      "txt_lateraldistance", "img_vgds",   "txt_description", "lst_vgds",       "txt_heading"};
  EXPECT_EQ(tabCycle(form->txt_heading, 10), all);

  selectByName(QStringLiteral("Some"));
  const std::vector<QString> some = {"cmd_create", "cmd_set_folder",  "cmd_heading_fs", "txt_visibilitydistance",
                                     "img_vgds",   "txt_description", "lst_vgds",       "txt_heading"};
  EXPECT_EQ(tabCycle(form->txt_heading, 8), some);
}

TEST_F(WindowTest, SelectionSwitchesPictureAndStatesButKeepsTypedValues) {
  AddTemplate("big", kAll, "Big", "big.png", "big one\r\n");
  AddTemplate("none", kNone, "Nothing", "missing.png");
  AddPicture("big.png", 400, 300);
  Start();
  const int big = form->lst_vgds->row(form->lst_vgds->findItems(QStringLiteral("Big"), Qt::MatchExactly).first());
  const int nothing = 1 - big;

  SelectRow(big);
  EXPECT_EQ(form->img_vgds->pixmap().size(), QSize(400, 300));  // unscaled; the box clips it
  EXPECT_EQ(form->img_vgds->size(), QSize(199, 199));
  form->txt_stopdistance->setText(QStringLiteral("33.5"));

  SelectRow(nothing);
  EXPECT_TRUE(form->img_vgds->pixmap().isNull());  // a picture that cannot be loaded shows none
  EXPECT_TRUE(form->txt_description->toPlainText().isEmpty());
  EXPECT_FALSE(form->txt_stopdistance->isEnabled());
  EXPECT_FALSE(form->txt_heading->isEnabled());
  EXPECT_TRUE(form->cmd_heading_fs->isEnabled());  // never disabled, even without the heading
  EXPECT_EQ(form->txt_stopdistance->text(), QStringLiteral("33.5"));

  SelectRow(big);
  EXPECT_TRUE(form->txt_stopdistance->isEnabled());
  EXPECT_EQ(form->txt_stopdistance->text(), QStringLiteral("33.5"));
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowTest, WithOnlyBrokenDescriptorsNothingIsSelectedAndTheyAreNamedTogetherInOneBox) {
  app.Write("vgds_source/short.vgp", "True\r\n");
  app.Write("vgds_source/escape.vgp", "1\r\n1\r\n1\r\n1\r\nEscape\r\npic.png\r\n../../etc/x.asm\r\nr\r\n");
  Start();
  EXPECT_EQ(form->lst_vgds->count(), 0);
  EXPECT_EQ(form->lst_vgds->currentRow(), -1);
  EXPECT_TRUE(form->img_vgds->pixmap().isNull());
  EXPECT_FALSE(form->txt_heading->isEnabled() || form->txt_stopdistance->isEnabled() ||
               form->txt_visibilitydistance->isEnabled() || form->txt_lateraldistance->isEnabled());
  EXPECT_TRUE(dialogs.boxes.empty());  // nothing is shown before the window has loaded
  form->ReportSkippedTemplates();
  ASSERT_EQ(dialogs.boxes.size(), 1U);
  EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("parkmarq"));
  EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("short.vgp")));
  EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("escape.vgp")));
}

// However many broken descriptors there are, and however long their names, the report's box fits the
// smallest screen the tool is made for, so its OK button can be reached.
TEST_F(WindowTest, TheReportOfThousandsOfBrokenDescriptorsFitsTheScreen) {
  const std::string longName(200, 'n');
  for (int i = 0; i < 3000; ++i) app.Write("vgds_source/" + std::to_string(i) + longName + ".vgp", "True\r\n");
  Start();
  form->ReportSkippedTemplates();
  ASSERT_EQ(dialogs.boxes.size(), 1U);
  EXPECT_TRUE(dialogs.boxes[0].text.endsWith(QStringLiteral("... and 2980 more.")));
  QMessageBox box(QMessageBox::Critical, dialogs.boxes[0].title, dialogs.boxes[0].text, QMessageBox::Ok);
  box.show();
  EXPECT_LE(box.frameGeometry().width(), 1024);
  EXPECT_LE(box.frameGeometry().height(), 768);
}

TEST_F(WindowTest, StartUpFailuresAreReportedInOneBoxAndTheWindowOpensWithWhatCouldBeRead) {
  const struct {
    const char* name;
    bool folderFound;
    bool loopingTemplates;
    const char* reported;
    const char* settingsAfterClose;
  } cases[] = {
      {"template folder is a looping link", true, true, "Loading the templates failed.", "/models/\r\n"},
      {"program's folder not found", false, false, "Finding the program's folder failed.", "/models/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const testing_support::TempFolder folder;
    folder.Write("parkmarq.ini", "/models/");
    if (c.loopingTemplates) std::filesystem::create_directory_symlink("vgds_source", folder.Path() / "vgds_source");
    dialogs.boxes.clear();
    const auto find = [&]() -> std::string {
      if (!c.folderFound) throw std::system_error(ENOENT, std::generic_category(), "cannot find the program");
      return folder.Str();
    };
    form = std::make_unique<Form1>(find, dialogs, build::NumberLocale{});
    form->show();
    EXPECT_EQ(form->lst_vgds->count(), 0);
    EXPECT_EQ(form->lst_vgds->currentRow(), -1);
    EXPECT_EQ(form->DefaultOutputFolder(), c.folderFound ? "/models/" : "");
    EXPECT_TRUE(dialogs.boxes.empty()) << "nothing is shown before the window has opened";
    form->ReportStartUpFailures();
    ASSERT_EQ(dialogs.boxes.size(), 1U);
    EXPECT_EQ(dialogs.boxes[0].title.toStdString(), "parkmarq");
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QString::fromUtf8(c.reported))) << dialogs.boxes[0].text.toStdString();
    form->close();
    // Without its folder the program writes no settings anywhere.
    EXPECT_EQ(testing_support::ReadAll(folder.Path() / "parkmarq.ini"), c.settingsAfterClose);
    EXPECT_FALSE(std::filesystem::exists("/parkmarq.ini"));
  }
}

}  // namespace
