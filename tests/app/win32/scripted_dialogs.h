#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/win32/dialogs.h"

// Answers the Win32 window's dialogs from a script and records what was asked, so no test waits.
class ScriptedDialogs final : public win32::DialogService {
 public:
  struct Box {
    std::string title;
    std::string text;
  };
  struct SaveRequest {
    std::string title;
    std::string filter;
    std::string initialName;
  };

  std::vector<Box> boxes;
  std::vector<SaveRequest> saveRequests;
  std::vector<std::string> folderTitles;
  std::deque<std::string> saveAnswers;
  std::deque<std::string> folderAnswers;
  std::vector<HWND> owners;
  // Runs while the save dialog would be open, inside the build.
  std::function<void()> whileSaving;

  void ShowCritical(HWND owner, const std::string& title, const std::string& text) override {
    owners.push_back(owner);
    boxes.push_back({title, text});
  }

  std::string SaveFileName(HWND owner, const std::string& title, const std::string& filter,
                           const std::string& initialName) override {
    owners.push_back(owner);
    saveRequests.push_back({title, filter, initialName});
    if (whileSaving) whileSaving();
    return Next(saveAnswers, "save dialog");
  }

  std::string ExistingFolder(HWND owner, const std::string& title) override {
    owners.push_back(owner);
    folderTitles.push_back(title);
    return Next(folderAnswers, "folder browser");
  }

 private:
  static std::string Next(std::deque<std::string>& answers, const char* what) {
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected " << what;
      return {};
    }
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
};
