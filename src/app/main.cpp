#include <QApplication>
#include <QLocale>
#include <QTimer>

#include "app/form1.h"
#include "platform/app_folder.h"
#include "platform/dialogs.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(app::kApplicationTitle));

  // The user's number notation is read once and handed to the core as a value.
  const QLocale locale;
  build::NumberLocale numbers{locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};

  platform::QtDialogService dialogs;
  Form1 form(platform::ApplicationFolder(), dialogs, std::move(numbers));
  form.show();
  QTimer::singleShot(0, &form, &Form1::ReportSkippedTemplates);
  return QApplication::exec();
}
