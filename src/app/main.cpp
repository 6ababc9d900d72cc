#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <cstdio>
#include <exception>

#include "app/application_folder.h"
#include "app/form1.h"
#include "platform/close_requests.h"
#include "platform/dialogs.h"

namespace {

int Run(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(app::kApplicationTitle));

  // The user's number notation is read once and handed to the core as a value.
  const QLocale locale;
  build::NumberLocale numbers{locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};

  platform::QtDialogService dialogs;
  Form1 form(&app::PrepareApplicationFolder, dialogs, std::move(numbers));
  platform::CloseOnEndRequests(form);
  form.show();
  QTimer::singleShot(0, &form, [&form] {
    form.ReportStartUpFailures();
    form.ReportSkippedTemplates();
  });
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  // The window reports every failure of a user action itself; this is only the last guard, for a
  // failure before the window exists or after it is gone.
  try {
    return Run(argc, argv);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s: %s\n", app::kApplicationTitle, failure.what());
  }
  return 1;
}
