#pragma once

#include <string>
#include <vector>

#include "runner/dos_outputs.h"

namespace testing_support {

// The runner's message boxes, recorded instead of shown.
class RecordingMessages : public runner::RunnerMessages {
 public:
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

}  // namespace testing_support
