#pragma once

#include <QString>
#include <ostream>

#include "platform/dialogs.h"
#include "support/scripted_answers.h"

// Texts in failure messages as text, not as a list of UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

// Answers the Qt window's dialogs from a script and records what was asked.
class ScriptedDialogs final : public platform::DialogService, public testing_support::ScriptedAnswers<QString> {
 public:
  void ShowCritical(QWidget*, const QString& title, const QString& text) override { boxes.push_back({title, text}); }
  QString SaveFileName(QWidget*, const QString& title, const QString& filter, const QString& initialName) override {
    saveRequests.push_back({title, filter, initialName});
    return Next(saveAnswers, "save dialog");
  }
  QString ExistingFolder(QWidget*, const QString& title) override {
    folderTitles.push_back(title);
    return Next(folderAnswers, "folder browser");
  }
};
