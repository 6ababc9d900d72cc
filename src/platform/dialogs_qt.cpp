#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>

#include "platform/dialogs.h"

namespace platform {
namespace {

QString Ask(QFileDialog& dialog) {
  return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().constFirst()
                                                                                 : QString();
}

}  // namespace

QtDialogService::QtDialogService() {
  // The program keeps no state outside its own folder, yet Qt's file dialogs write their history to
  // a settings file of their own and cannot be told not to. Below a path that cannot hold a folder
  // that file is never created, so nothing is left behind, not even after a crash.
  for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
    QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
  }
}

void QtDialogService::ShowCritical(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
  box.exec();
}

QString QtDialogService::SaveFileName(QWidget* owner, const QString& title, const QString& filter,
                                      const QString& initialName) {
  QFileDialog dialog(owner, title);
  PrepareSaveDialog(dialog, filter, initialName);
  return Ask(dialog);
}

QString QtDialogService::ExistingFolder(QWidget* owner, const QString& title) {
  QFileDialog dialog(owner, title);
  PrepareFolderBrowser(dialog);
  return Ask(dialog);
}

void PrepareSaveDialog(QFileDialog& dialog, const QString& filter, const QString& initialName) {
  // A native dialog would keep a history of its own.
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QtFilterFromPairs(filter));
  const QFileInfo proposed(initialName);
  dialog.setDirectory(proposed.absolutePath());
  dialog.selectFile(proposed.fileName());
}

void PrepareFolderBrowser(QFileDialog& dialog) {
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setDirectory(QDir::rootPath());
}

QString QtFilterFromPairs(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString suffix = QStringLiteral("(") + patterns + QStringLiteral(")");
    filters << (description.endsWith(suffix) ? description : description + QLatin1Char(' ') + suffix);
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace platform
