#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace testing_support {

// What a window's scripted dialogs record and answer, in the toolkit's text type, so no test waits.
template <typename Text>
struct ScriptedAnswers {
  struct Box {
    Text title;
    Text text;
  };
  struct SaveRequest {
    Text title;
    Text filter;
    Text initialName;
  };

  std::vector<Box> boxes;
  std::vector<SaveRequest> saveRequests;
  std::vector<Text> folderTitles;
  std::deque<Text> saveAnswers;
  std::deque<Text> folderAnswers;

  static Text Next(std::deque<Text>& answers, const char* what) {
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected " << what;
      return {};
    }
    Text answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace testing_support
