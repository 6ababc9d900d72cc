// What the Qt window adds to the window's logic: places in pixels, texts that fit in the layout font,
// the list's scrolling and highlight, focus and keys, the picture box, the size of the start-up box.
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
#include <functional>

#include "app/form1_controls.h"
#include "app/tab_order_cases.h"
#include "app/window_fixture.h"
#include "build/build_sequence.h"

namespace {

using testing_support::kAllParameters;
using testing_support::kNoParameters;

TEST_F(WindowTest, ControlsShowTheirTextsInTheLayoutFontAndKeepTheirPlacesWhenTheWindowIsEnlarged) {
  AddTemplate("first", kAllParameters, "First");
  Start();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Parkmarq"));
  EXPECT_EQ(form->windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)});
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
    return control->property(qobject_cast<QGroupBox*>(control) ? "title" : "text").toString();
  };
  const auto expectFits = [&](QWidget* control) {
    const QFontMetrics metrics(control->font());
    EXPECT_LE(metrics.horizontalAdvance(textOf(control)), textRoom(control).width());
    EXPECT_LE(metrics.height(), control->height());
  };
  EXPECT_EQ(form->size(), QSize(438, 405));
  form->resize(900, 800);
  QApplication::processEvents();
  for (const auto& layout : app::kForm1Controls) {
    SCOPED_TRACE(layout.name);
    auto* control = form->findChild<QWidget*>(QString::fromUtf8(layout.name.data(), std::ssize(layout.name)));
    ASSERT_NE(control, nullptr);
    // 15 twips make a pixel; a control in the frame is placed inside it.
    const auto& [left, top, width, height] = layout.place;
    EXPECT_EQ(control->geometry(), QRect(left / 15, top / 15, width / 15, height / 15));
    EXPECT_EQ(textOf(control).toStdString(), layout.caption);
    expectFits(control);
  }
  form->cmd_create->setText(QString::fromUtf8(build::kCompilingCaption));  // the caption during a build
  expectFits(form->cmd_create);
}

TEST_F(WindowTest, TheListScrollsOnlyUpAndDownAndOnlyWhenItsItemsDoNotFit) {
  int templates = 0;
  for (const int count : {3, 40}) {
    SCOPED_TRACE(count);
    for (; templates < count; ++templates) {
      AddTemplate("t" + std::to_string(templates), kAllParameters,
                  "Lateral bars (stop and lateral distance), also with a long name " + std::to_string(templates));
    }
    Start();
    QApplication::processEvents();
    ASSERT_EQ(form->lst_vgds->count(), count);
    EXPECT_FALSE(form->lst_vgds->horizontalScrollBar()->isVisible());
    EXPECT_EQ(form->lst_vgds->verticalScrollBar()->isVisible(), count > 20);
  }
}

TEST_F(WindowTest, TabVisitsControlsInTabIndexOrderSkippingDisabledFieldsAndEnterOrSpaceClicksOnlyButtons) {
  AddTabOrderTemplates(app);
  Start();
  QApplication::setActiveWindow(form.get());
  for (const auto& c : kTabOrderCases) {
    SCOPED_TRACE(c.templateName);
    form->lst_vgds->setCurrentItem(
        form->lst_vgds->findItems(QString::fromUtf8(c.templateName), Qt::MatchExactly).first());
    form->txt_heading->setFocus();
    std::vector<std::string> visited;
    for (std::size_t i = 0; i < c.order.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited.push_back(QApplication::focusWidget()->objectName().toStdString());
    }
    EXPECT_EQ(visited, c.order);
  }

  // Enter and Space click the focused button; Enter in a field clicks nothing.
  dialogs.folderAnswers = {QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")};
  form->cmd_set_folder->setFocus();
  QTest::keyClick(form->cmd_set_folder, Qt::Key_Return);
  QTest::keyClick(form->cmd_set_folder, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(form->cmd_set_folder, Qt::Key_Space);
  EXPECT_EQ(dialogs.folderTitles.size(), 3U);
  for (QLineEdit* field : {form->txt_heading, form->txt_visibilitydistance}) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
  }
  EXPECT_EQ(dialogs.folderTitles.size(), 3U);
  EXPECT_TRUE(dialogs.saveRequests.empty());
}

TEST_F(WindowTest, TheHighlightedTemplateCannotBeClearedAndIsAlwaysTheOneShown) {
  AddTemplate("a", kAllParameters, "All", "none.png", "All\r\n");
  AddTemplate("b", kNoParameters, "None", "none.png", "None\r\n");
  Start();
  QApplication::setActiveWindow(form.get());
  QListWidget* list = form->lst_vgds;
  QWidget* area = list->viewport();
  const auto centreOf = [&](int row) { return list->visualItemRect(list->item(row)).center(); };
  const struct {
    const char* name;
    std::function<void()> act;
    int highlighted;
  } steps[] = {
      {"Ctrl and a click on the selected item",
       [&] { QTest::mouseClick(area, Qt::LeftButton, Qt::ControlModifier, centreOf(0)); }, 0},
      {"Ctrl and Space", [&] { QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier); }, 0},
      {"a click below the last item",
       [&] { QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(5, area->height() - 5)); }, 0},
      {"Ctrl and a click on the other item",
       [&] { QTest::mouseClick(area, Qt::LeftButton, Qt::ControlModifier, centreOf(1)); }, 1},
      {"Ctrl and Up", [&] { QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier); }, 0},
      {"Down", [&] { QTest::keyClick(list, Qt::Key_Down); }, 1},
      {"Ctrl and Space again", [&] { QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier); }, 1},
  };
  list->setFocus();
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    const auto highlighted = list->selectedItems();
    ASSERT_EQ(highlighted.size(), 1);
    EXPECT_EQ(list->row(highlighted.first()), step.highlighted);
    EXPECT_EQ(list->currentRow(), step.highlighted);
    EXPECT_EQ(form->txt_description->toPlainText(), highlighted.first()->text() + QStringLiteral("\n"));
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowTest, ThePictureIsShownUnscaledAndClippedOrNotAtAll) {
  AddTemplate("big", kAllParameters, "Big", "big.png");
  AddTemplate("none", kNoParameters, "Nothing", "missing.png");
  AddPicture("big.png", 400, 300);
  Start();
  for (const char* name : {"Big", "Nothing"}) {
    form->lst_vgds->setCurrentItem(form->lst_vgds->findItems(QString::fromUtf8(name), Qt::MatchExactly).first());
    EXPECT_EQ(form->img_vgds->pixmap().size(), name[0] == 'B' ? QSize(400, 300) : QPixmap().size()) << name;
  }
  EXPECT_EQ(form->img_vgds->size(), QSize(199, 199));
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

}  // namespace
