#include <QPushButton>

#include "app/window_fixture.h"

namespace {

using testing_support::ReadAll;

TEST_F(WindowTest, DefaultFolderFromSettingsThroughTheBrowserToShutDownAndRestart) {
  Start();  // first run: no settings file, no tool tip, and closing writes an empty line
  EXPECT_TRUE(form->cmd_set_folder->toolTip().isEmpty());
  form->close();
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "\r\n");

  app.Write("parkmarq.ini", " /models/stands \r\nsecond line\r\n");
  Start();  // the first line is used unchanged, blanks and all
  EXPECT_EQ(form->DefaultOutputFolder(), " /models/stands ");
  EXPECT_EQ(form->cmd_set_folder->toolTip(), QStringLiteral(" /models/stands "));

  dialogs.folderAnswers = {QStringLiteral("/models/airport"), QStringLiteral("/")};
  form->cmd_set_folder->click();
  EXPECT_EQ(dialogs.folderTitles.at(0), QStringLiteral("Choose a directory from the list."));
  EXPECT_EQ(form->DefaultOutputFolder(), "/models/airport/");
  EXPECT_EQ(form->cmd_set_folder->toolTip(), QStringLiteral("/models/airport/"));
  form->cmd_set_folder->click();
  EXPECT_EQ(form->DefaultOutputFolder(), "/");  // the root keeps its single separator
  form->close();
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "/\r\n");

  Start();
  dialogs.folderAnswers = {QString()};
  form->cmd_set_folder->click();  // cancelling clears the folder and the tool tip
  EXPECT_EQ(form->DefaultOutputFolder(), "");
  EXPECT_TRUE(form->cmd_set_folder->toolTip().isEmpty());
  form->close();
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "\r\n");
}

// The one-line settings file cannot keep a folder whose name holds a line break: the choice is refused
// with a message and the folder chosen before stays, in the window and in the file.
TEST_F(WindowTest, AFolderWithALineBreakIsRefusedAndTheFolderBeforeStays) {
  app.Write("parkmarq.ini", "/models/\r\n");
  Start();
  dialogs.folderAnswers = {QStringLiteral("/models/a\nb")};
  form->cmd_set_folder->click();
  ASSERT_EQ(dialogs.boxes.size(), 1U);
  EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("parkmarq"));
  EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("line break"))) << dialogs.boxes[0].text.toStdString();
  EXPECT_EQ(form->DefaultOutputFolder(), "/models/");
  EXPECT_EQ(form->cmd_set_folder->toolTip(), QStringLiteral("/models/"));
  form->close();
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "/models/\r\n");
}

}  // namespace
