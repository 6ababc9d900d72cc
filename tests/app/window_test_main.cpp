#include <gtest/gtest.h>

#include <QApplication>

#include "app/form1.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(app::kApplicationTitle));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
