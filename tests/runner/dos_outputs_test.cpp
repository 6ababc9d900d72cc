// What the runner does alike on every system; the rest is in the *_posix_test and *_windows_test files.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>

#include "runner/runner_fixture.h"

namespace runner_testing {
namespace {

TEST_F(RunnerTest, FailuresShowOneMessageAndKeepTheLastOutput) {
  const std::string plain = folder_.Write("plain", "echo should not run\n").string();  // no program
  const std::string withNul = ChildCommand(std::string("echo a\0b", 8));
  const FailureCase cases[] = {
      {"nothing given, nothing stored", "", "Command Line empty", ""},
      {"missing", kMissingProgram, kNotFound, kMissingProgram},
      {"not a program", "\"" + plain + "\" x", kNotFound, "\"" + plain + "\" x"},
      {"NUL in the line", withNul, kNotFound, withNul},
  };
  ExpectFailures(cases);
}

TEST_F(RunnerTest, OutputArrivesWholeAndInOrder) {
  const std::filesystem::path child(RUNNER_CHILD_PATH);
  const auto program = folder_.Path() / "dir with blank" / ("runner child" + child.extension().string());
  std::filesystem::create_directories(program.parent_path());
  std::filesystem::copy_file(child, program);
  // Lines of 99 printable characters, each shifted against the one before: no two neighbouring reads alike.
  std::string large(5 * 1024 * 1024 + 17, '\n');
  for (std::size_t i = 0; i < large.size(); ++i)
    large[i] = i % 100 == 99 ? '\n' : static_cast<char>('!' + (i / 100 + i) % 90);
  // 255 letters, then U+00E9 split across the first two reads, NUL, a lone continuation byte, 0xFF, CR LF.
  const std::string bytes = std::string(255, 'a') + "\xc3\xa9" + std::string(1, '\0') + "\x80\xff\r\n";
  const auto cat = [this](const char* name, const std::string& content) {
    return ChildCommand("cat \"" + folder_.Write(name, content).string() + "\"");
  };
  const OutputCase cases[] = {
      {"nothing", ChildCommand("echo"), ""},
      {"several MiB", cat("large", large), large},
      {"bytes as they are", cat("bytes", bytes), bytes},
      {"stderr interleaved", ChildCommand("alternate out0 err0 out1 err1"), "[out0]\n[err0]\n[out1]\n[err1]\n"},
      {"quoted with blanks", "\"" + program.string() + "\" echo \"a  b\"  plain \"\" x\"y z\"w \\t",
       "[a  b]\n[plain]\n[]\n[xy zw]\n[\\t]\n"},
  };
  ExpectOutputs(cases);
}

TEST_F(RunnerTest, AWaitHandlerRunsWhileTheChildIsSilentAndBetweenChunks) {
  std::string events;  // "w" for the wait handler, "(chunk)" for each chunk
  dos_.ConnectReceiveOutputs([&events](const std::string& chunk) { events += "(" + chunk + ")"; });
  dos_.SetWaitHandler([&events] { events += "w"; }, std::chrono::milliseconds(20));
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("slowly a b")), "[a]\n[b]\n");
  ASSERT_TRUE(events.starts_with("w")) << events;
  EXPECT_EQ(events.find(")("), std::string::npos) << "no chunk without a wait handler call before it: " << events;
  const auto a = events.find("([a]\n)"), b = events.find("([b]\n)");
  ASSERT_TRUE(a != std::string::npos && b != std::string::npos) << events;
  // The child is silent for 0.4 s: at 20 ms a step the handler runs many times, however slow the machine.
  EXPECT_GE(std::ranges::count(events.substr(a, b - a), 'w'), 4) << events;
  dos_.SetWaitHandler({}, std::chrono::milliseconds(20));
  events.clear();
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("echo c")), "[c]\n");
  EXPECT_EQ(events, "([c]\n)()") << "an empty handler is never called";
}

// A thousand of each on POSIX; thirty under Wine, where a start on a busy machine can take half a second and
// a leak shows after one.
TEST_F(RunnerTest, RunsAndFailedStartsCloseEveryHandle) {
#ifdef _WIN32
  constexpr int kRuns = 30;
#else
  constexpr int kRuns = 1000;
#endif
  ASSERT_EQ(dos_.ExecuteCommand(kMissingProgram), "");
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo warm")), "[warm]\n");
  messages_.shown.clear();
  const std::size_t handles = test_helpers::OpenHandleCount();
  for (int i = 0; i < kRuns; ++i) {
    ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo " + std::to_string(i))), "[" + std::to_string(i) + "]\n");
    ASSERT_EQ(dos_.ExecuteCommand(kMissingProgram), "") << "start " << i;
  }
  EXPECT_EQ(messages_.shown.size(), std::size_t{kRuns});
  EXPECT_EQ(test_helpers::OpenHandleCount(), handles);
}

}  // namespace
}  // namespace runner_testing
