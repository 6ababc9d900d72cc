#include "platform/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace platform {

void QtDialogService::ShowCritical(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
  box.exec();
}

QString QtDialogService::SaveFileName(QWidget* owner, const QString& title, const QString& filter,
                                      const QString& initialName) {
  return QFileDialog::getSaveFileName(owner, title, initialName, QtFilterFromPairs(filter), nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

QString QtDialogService::ExistingFolder(QWidget* owner, const QString& title) {
  return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
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
