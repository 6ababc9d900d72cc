#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "helpers/process_probe.h"
#include "runner/dos_outputs.h"

namespace runner_test {

class RecordingMessages : public runner::RunnerMessages {
 public:
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

// A runner whose messages and chunks are recorded, under a watchdog so a hanging child fails the test.
class RunnerTest : public ::testing::Test {
 protected:
  void RecordChunks() {
    dos_.ConnectReceiveOutputs([this](std::string& chunk) { chunks_.push_back(chunk); });
  }
  [[nodiscard]] std::string JoinedChunks() const {
    std::string joined;
    for (const std::string& chunk : chunks_) joined += chunk;
    return joined;
  }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(90)};
  RecordingMessages messages_;
  runner::DOSOutputs dos_{messages_};
  std::vector<std::string> chunks_;
};

}  // namespace runner_test
