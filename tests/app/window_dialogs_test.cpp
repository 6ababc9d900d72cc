#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QStandardPaths>

#include "app/scripted_dialogs.h"
#include "platform/dialogs.h"
#include "support/temp_folder.h"

namespace {

// Every file below folder, so that a test can tell that nothing was left there.
QStringList FilesBelow(const QString& folder) {
  QStringList files;
  for (QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories); it.hasNext();)
    files << it.next();
  return files;
}

TEST(QtDialogs, FileDialogsStartWhereTheWindowSaysAndLeaveNoFileBehind) {
  // The test program points both at folders of its own.
  const QString homeConfig = QDir::homePath() + "/.config";
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  ASSERT_TRUE(FilesBelow(homeConfig).isEmpty() && FilesBelow(config).isEmpty()) << config.toStdString();
  const testing_support::TempFolder models;
  const QString modelsPath = QString::fromStdString(models.Str());
  ASSERT_TRUE(QDir(modelsPath).mkdir(QStringLiteral("browsed")));
  {
    const platform::QtDialogService dialogs;
    // The user browses away in each dialog; the next one still starts where it is told to.
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE("round " + std::to_string(round));
      {
        QFileDialog save;
        platform::PrepareSaveDialog(save, QStringLiteral("MDL file (*.mdl)|*.mdl|"), modelsPath + "/dock_h1.mdl");
        save.show();
        EXPECT_EQ(save.directory().absolutePath(), modelsPath);
        EXPECT_EQ(save.selectedFiles(), QStringList{modelsPath + "/dock_h1.mdl"});
        EXPECT_EQ(save.nameFilters(), QStringList{QStringLiteral("MDL file (*.mdl)")});
        EXPECT_TRUE(save.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_TRUE(save.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
        save.setDirectory(modelsPath + "/browsed");
      }
      {
        QFileDialog bare;
        platform::PrepareSaveDialog(bare, QStringLiteral("MDL file (*.mdl)|*.mdl|"), QStringLiteral("dock.mdl"));
        bare.show();
        EXPECT_EQ(bare.directory().absolutePath(), QDir::currentPath());
        EXPECT_EQ(bare.selectedFiles(), QStringList{QDir::current().absoluteFilePath(QStringLiteral("dock.mdl"))});
      }
      {
        QFileDialog browser;
        platform::PrepareFolderBrowser(browser);
        browser.show();
        EXPECT_EQ(browser.directory().absolutePath(), QDir::rootPath());
        EXPECT_EQ(browser.fileMode(), QFileDialog::Directory);
        EXPECT_TRUE(browser.testOption(QFileDialog::ShowDirsOnly));
        browser.setDirectory(modelsPath + "/browsed");
      }
    }
  }
  EXPECT_EQ(FilesBelow(homeConfig), QStringList());
  EXPECT_EQ(FilesBelow(config), QStringList());
}

}  // namespace
