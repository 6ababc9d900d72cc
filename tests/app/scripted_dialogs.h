#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <deque>
#include <ostream>
#include <vector>

#include "platform/dialogs.h"

// Texts in failure messages as text, not as a list of UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

// Answers the window's dialogs from a script and records what was asked, so no test ever waits.
class ScriptedDialogs final : public platform::DialogService {
 public:
  struct Box {
    QString title;
    QString text;
  };
  struct SaveRequest {
    QString title;
    QString filter;
    QString initialName;
  };

  std::vector<Box> boxes;
  std::vector<SaveRequest> saveRequests;
  std::vector<QString> folderTitles;
  std::deque<QString> saveAnswers;
  std::deque<QString> folderAnswers;

  void ShowCritical(QWidget*, const QString& title, const QString& text) override { boxes.push_back({title, text}); }

  QString SaveFileName(QWidget*, const QString& title, const QString& filter, const QString& initialName) override {
    saveRequests.push_back({title, filter, initialName});
    return Next(saveAnswers, "save dialog");
  }

  QString ExistingFolder(QWidget*, const QString& title) override {
    folderTitles.push_back(title);
    return Next(folderAnswers, "folder browser");
  }

 private:
  static QString Next(std::deque<QString>& answers, const char* what) {
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected " << what;
      return {};
    }
    QString answer = answers.front();
    answers.pop_front();
    return answer;
  }
};
