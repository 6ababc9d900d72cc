#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/window_fixture.h"

namespace {

TEST_F(WindowTest, TheHighlightedTemplateCannotBeClearedAndIsAlwaysTheOneShown) {
  AddTemplate("a", "True\r\nTrue\r\nTrue\r\nTrue\r\n", "All", "none.png", "All\r\n");
  AddTemplate("b", "False\r\nFalse\r\nFalse\r\nFalse\r\n", "None", "none.png", "None\r\n");
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
    // Picture, description and fields are the highlighted template's.
    EXPECT_EQ(form->txt_description->toPlainText(), highlighted.first()->text() + QStringLiteral("\n"));
    EXPECT_EQ(form->txt_heading->isEnabled(), highlighted.first()->text() == QStringLiteral("All"));
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowTest, EnterAndSpaceClickTheFocusedButtonWhileEnterInAFieldDoesNothing) {
  AddTemplate("a", "True\r\nTrue\r\nTrue\r\nTrue\r\n", "All", "none.png");
  Start();
  QApplication::setActiveWindow(form.get());
  dialogs.folderAnswers = {QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")};
  form->cmd_set_folder->setFocus();
  QTest::keyClick(form->cmd_set_folder, Qt::Key_Return);
  QTest::keyClick(form->cmd_set_folder, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(form->cmd_set_folder, Qt::Key_Space);
  EXPECT_EQ(dialogs.folderTitles.size(), 3U);
  EXPECT_EQ(form->DefaultOutputFolder(), "/c/");

  for (QLineEdit* field : {form->txt_heading, form->txt_lateraldistance}) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
  }
  EXPECT_EQ(dialogs.folderTitles.size(), 3U);
  EXPECT_TRUE(dialogs.saveRequests.empty());
  EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
