#include <gtest/gtest.h>

#include <QApplication>

#include "app/form1.h"
#include "support/temp_folder.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Whatever the window's dialogs might keep would land here, where a test can look, not in the user's home.
  const testing_support::TempFolder home;
  qputenv("HOME", QByteArray::fromStdString(home.Str()));
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home.Path() / "config").string()));
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(app::kApplicationTitle));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
