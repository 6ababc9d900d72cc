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

}  // namespace
