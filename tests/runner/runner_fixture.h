#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "helpers/open_handles.h"
#include "helpers/process_probe.h"
#include "runner/dos_outputs.h"
#include "support/recording_messages.h"
#include "support/temp_folder.h"

namespace runner_testing {

using test_helpers::ChildCommand;

inline constexpr char kNotFound[] = "File or command not found";
inline constexpr char kMissingProgram[] = "/no/such/folder/compiler a b";

// A run that starts no child: the one message it shows and the command line stored after it.
struct FailureCase {
  const char* name;
  std::string commandLine;
  const char* message;
  std::string storedAfter;
};

// A run and the whole output it captures.
struct OutputCase {
  const char* name;
  std::string commandLine;
  std::string expected;
};

// A runner whose messages and chunks are recorded, under a watchdog so a hanging child fails the test.
class RunnerTest : public ::testing::Test {
 protected:
  // Inside a handler Outputs already ends with the chunk, and a handler changing its argument changes nothing.
  RunnerTest() {
    dos_.ConnectReceiveOutputs([this](std::string& chunk) {
      EXPECT_TRUE(chunks_.size() > 16 || dos_.Outputs().ends_with(chunk));  // early chunks only: Outputs copies
      chunks_.push_back(std::exchange(chunk, "changed"));
    });
    dos_.ConnectReceiveOutputs([this](const std::string& chunk) { EXPECT_EQ(chunk, chunks_.back()); });
  }

  // Each case shows its one message, returns "", keeps the last output and leaks nothing.
  void ExpectFailures(std::span<const FailureCase> cases) {
    ASSERT_EQ(dos_.ExecuteCommand(kMissingProgram), "");  // what the system sets up once for a failed start
    ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo before")), "[before]\n");
    ASSERT_EQ(dos_.ExecuteCommand(), "[before]\n") << "the stored command line runs again";
    chunks_.clear();
    const std::size_t handles = test_helpers::OpenHandleCount();
    for (const auto& [name, commandLine, message, storedAfter] : cases) {
      SCOPED_TRACE(name);
      messages_.shown.clear();
      dos_.SetCommandLine("");
      EXPECT_EQ(dos_.ExecuteCommand(commandLine), "");
      EXPECT_EQ(messages_.shown, std::vector<std::string>{message});
      EXPECT_EQ(dos_.CommandLine() + "|" + dos_.Outputs(), storedAfter + "|[before]\n");
      EXPECT_EQ(test_helpers::OpenHandleCount(), handles);
    }
    EXPECT_TRUE(chunks_.empty());
  }

  // Each case's output arrives whole in chunks of 1 to 256 bytes, one empty chunk ends them, and nothing leaks.
  void ExpectOutputs(std::span<const OutputCase> cases) {
    const std::size_t handles = test_helpers::OpenHandleCount();
    for (const auto& [name, commandLine, expected] : cases) {
      SCOPED_TRACE(name);
      chunks_.clear();
      // Not EXPECT_EQ: a mismatch would print megabytes.
      EXPECT_TRUE(dos_.ExecuteCommand(commandLine) == expected) << dos_.Outputs().substr(0, 300);
      ASSERT_EQ(chunks_.back(), "");
      chunks_.pop_back();
      EXPECT_TRUE(std::ranges::all_of(chunks_, [](const std::string& c) { return !c.empty() && c.size() <= 256; }));
      EXPECT_TRUE(std::accumulate(chunks_.begin(), chunks_.end(), std::string()) == expected);
      EXPECT_EQ(test_helpers::OpenHandleCount(), handles);
    }
    EXPECT_TRUE(messages_.shown.empty());
  }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(90)};
  testing_support::TempFolder folder_;
  testing_support::RecordingMessages messages_;
  runner::DOSOutputs dos_{messages_};
  std::vector<std::string> chunks_;
};

}  // namespace runner_testing
