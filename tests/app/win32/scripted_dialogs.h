#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/win32/dialogs.h"
#include "support/scripted_answers.h"

// Answers the Win32 window's dialogs from a script and records what was asked, and of which window.
class ScriptedDialogs final : public win32::DialogService, public testing_support::ScriptedAnswers<std::string> {
 public:
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
};
