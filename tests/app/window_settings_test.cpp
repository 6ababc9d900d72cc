#include <QPushButton>

#include "app/window_fixture.h"

namespace {

using testing_support::ReadAll;

TEST_F(WindowTest, FirstRunWithoutSettingsWritesAnEmptyLineAtShutDown) {
  Start();
  EXPECT_TRUE(form->cmd_set_folder->toolTip().isEmpty());
  EXPECT_EQ(form->DefaultOutputFolder(), "");
  form->close();
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "\r\n");
}

TEST_F(WindowTest, SettingsFirstLineIsUsedUnchangedAndRewrittenAlone) {
  app.Write("parkmarq.ini", " /models/stands \r\nsecond line\r\n");
  Start();
  EXPECT_EQ(form->DefaultOutputFolder(), " /models/stands ");
  EXPECT_EQ(form->cmd_set_folder->toolTip(), QStringLiteral(" /models/stands "));
  form->close();
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), " /models/stands \r\n");
}

TEST_F(WindowTest, ChosenFolderGetsOneSeparatorSurvivesRestartAndCancelClearsIt) {
  Start();
  dialogs.folderAnswers = {QStringLiteral("/models/airport"), QStringLiteral("/")};
  form->cmd_set_folder->click();
  ASSERT_EQ(dialogs.folderTitles.size(), 1U);
  EXPECT_EQ(dialogs.folderTitles[0], QStringLiteral("Choose a directory from the list."));
  EXPECT_EQ(form->DefaultOutputFolder(), "/models/airport/");
  EXPECT_EQ(form->cmd_set_folder->toolTip(), QStringLiteral("/models/airport/"));
  form->cmd_set_folder->click();
  EXPECT_EQ(form->DefaultOutputFolder(), "/");  // the root keeps its single separator
  form->close();

  Start();  // a restart reads what the shut-down wrote
  EXPECT_EQ(form->DefaultOutputFolder(), "/");
  dialogs.folderAnswers = {QString()};
  form->cmd_set_folder->click();
  EXPECT_EQ(form->DefaultOutputFolder(), "");
  EXPECT_TRUE(form->cmd_set_folder->toolTip().isEmpty());
  form->close();
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "\r\n");
}

}  // namespace
