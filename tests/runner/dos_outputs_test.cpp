#include "runner/dos_outputs.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "helpers/child_pattern.h"
#include "platform/process.h"
#include "runner_fixture.h"

namespace runner_test {
namespace {

using test_helpers::ChildCommand;

constexpr char kNotFound[] = "File or command not found";

TEST_F(RunnerTest, EmptyCommandLineShowsMessageAndChangesNothing) {
  RecordChunks();
  EXPECT_EQ(dos_.ExecuteCommand(), "");
  EXPECT_EQ(dos_.CommandLine(), "");
  EXPECT_EQ(dos_.Outputs(), "");

  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo kept")), "[kept]\n");
  dos_.SetCommandLine("");
  EXPECT_EQ(dos_.ExecuteCommand(""), "");
  EXPECT_EQ(dos_.Outputs(), "[kept]\n");
  EXPECT_EQ(dos_.CommandLine(), "");
  EXPECT_EQ(messages_.shown, (std::vector<std::string>{"Command Line empty", "Command Line empty"}));
  EXPECT_EQ(chunks_, (std::vector<std::string>{"[kept]\n", ""}));
}

TEST_F(RunnerTest, FailedStartShowsOneMessageAndKeepsTheLastOutput) {
  const auto folder = std::filesystem::temp_directory_path() / ("runner_start_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string plainFile = (folder / "not_executable").string();
  std::ofstream(plainFile) << "#!/bin/sh\necho should not run\n";
  std::filesystem::permissions(plainFile, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  const struct {
    const char* name;
    std::string commandLine;
    std::string storedAfter;
  } cases[] = {
      {"missing", "/no/such/folder/compiler a b", "/no/such/folder/compiler a b"},
      {"not executable", "\"" + plainFile + "\" x", "\"" + plainFile + "\" x"},
      {"blanks only", "  \t ", "  \t "},
      {"bytes not UTF-8", "/no/such/\xff\xc3 x", "/no/such/?? x"},
      {"NUL in an argument", ChildCommand(std::string("echo a\0b", 8)), ChildCommand(std::string("echo a\0b", 8))},
  };
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo before")), "[before]\n");
  RecordChunks();
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    messages_.shown.clear();
    EXPECT_EQ(dos_.ExecuteCommand(row.commandLine), "");
    EXPECT_EQ(messages_.shown, std::vector<std::string>{kNotFound});
    EXPECT_EQ(dos_.CommandLine(), row.storedAfter);
    EXPECT_EQ(dos_.Outputs(), "[before]\n");
    EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  }
  EXPECT_TRUE(chunks_.empty());
  std::filesystem::remove_all(folder);
}

TEST_F(RunnerTest, ChildWritingNothingGivesExactlyOneEmptyEvent) {
  RecordChunks();
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("nothing")), "");
  EXPECT_EQ(chunks_, std::vector<std::string>{""});
  EXPECT_EQ(dos_.Outputs(), "");
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(RunnerTest, LargeOutputArrivesWholeInChunksOfAtMost256Bytes) {
  constexpr std::size_t kSize = 5 * 1024 * 1024 + 17;
  RecordChunks();
  const std::string result = dos_.ExecuteCommand(ChildCommand("write " + std::to_string(kSize)));
  ASSERT_EQ(result.size(), kSize);
  EXPECT_TRUE(result == test_helpers::PatternBytes(kSize));
  EXPECT_TRUE(JoinedChunks() == result);
  EXPECT_TRUE(dos_.Outputs() == result);
  ASSERT_FALSE(chunks_.empty());
  EXPECT_EQ(chunks_.back(), "");
  for (std::size_t i = 0; i + 1 < chunks_.size(); ++i) {
    ASSERT_LE(chunks_[i].size(), 256U) << "chunk " << i;
    ASSERT_FALSE(chunks_[i].empty()) << "chunk " << i;
  }
}

TEST_F(RunnerTest, StandardErrorInterleavesWithStandardOutputInOrder) {
  std::string expected;
  for (int i = 0; i < 40; ++i) expected += "out " + std::to_string(i) + "\nerr " + std::to_string(i) + "\n";
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("both 40")), expected);
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("fail")), "failing\n");
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(RunnerTest, ChildReadingStandardInputGetsEndOfFileAtOnce) {
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("stdin")), "eof\n");
}

TEST_F(RunnerTest, ReturnsWhenTheChildClosesItsOutputAndGoesOnRunning) {
  const std::string result = dos_.ExecuteCommand(ChildCommand("detach 60000"));
  const pid_t child = std::atoi(result.c_str());
  ASSERT_GT(child, 0) << result;
  const char state = test_helpers::ProcessState(child);
  EXPECT_TRUE(state != '\0' && state != 'Z') << "state " << state;

  kill(child, SIGKILL);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (test_helpers::ProcessState(child) != '\0' && std::chrono::steady_clock::now() < deadline) {
    platform::ReapEndedChildren();
    usleep(1000);
  }
  EXPECT_EQ(test_helpers::ProcessState(child), '\0') << "the ended child was not reaped";
}

TEST_F(RunnerTest, WaitsForAGrandchildThatKeepsTheOutputOpen) {
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("grandchild 300")), "parent\ngrandchild\n");
}

TEST_F(RunnerTest, QuotedTokensStayOneArgumentAlsoForTheProgram) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("runner quoted " + std::to_string(getpid())) / "dir with blank";
  std::filesystem::create_directories(folder);
  const std::string program = (folder / "runner child").string();
  std::filesystem::copy_file(test_helpers::RunnerChildPath(), program);

  EXPECT_EQ(dos_.ExecuteCommand("\"" + program + "\" echo \"a  b\"  plain \"\" x\"y z\"w \\t"),
            "[a  b]\n[plain]\n[]\n[xy zw]\n[\\t]\n");

  const std::string oldPath = std::getenv("PATH");
  setenv("PATH", ("/no/such/folder::" + folder.string()).c_str(), 1);
  EXPECT_EQ(dos_.ExecuteCommand("\"runner child\" echo found"), "[found]\n");
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_TRUE(messages_.shown.empty());
  std::filesystem::remove_all(folder.parent_path());
}

TEST_F(RunnerTest, CommandLineIsStoredAndRunInItsCharsetForm) {
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("echo caf\xc3\xa9 \xff\xfe")), "[caf\xc3\xa9]\n[??]\n");
  EXPECT_EQ(dos_.CommandLine(), ChildCommand("echo caf\xc3\xa9 ??"));
  EXPECT_EQ(dos_.ExecuteCommand(), "[caf\xc3\xa9]\n[??]\n");
}

TEST_F(RunnerTest, NoDescriptorReachesTheChildOrOutlivesTheCall) {
  // Even a descriptor someone left inheritable stays out of the child.
  const int inheritable = dup(STDERR_FILENO);
  ASSERT_GE(inheritable, 3);
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("fds")), "fd 0\nfd 1\nfd 2\n");
  EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  close(inheritable);
}

TEST_F(RunnerTest, HandlersSeeOutputsEndingWithTheirChunkAndOwnCopies) {
  std::string seenBySecond;
  std::size_t firstCalls = 0;
  dos_.ConnectReceiveOutputs([&](std::string& chunk) {
    ++firstCalls;
    const std::string sofar = dos_.Outputs();
    ASSERT_GE(sofar.size(), chunk.size());
    EXPECT_EQ(sofar.substr(sofar.size() - chunk.size()), chunk);
    EXPECT_EQ(sofar.size(), seenBySecond.size() + chunk.size());
    chunk = "changed";
  });
  dos_.ConnectReceiveOutputs([&](std::string& chunk) { seenBySecond += chunk; });

  const std::string expected = test_helpers::PatternBytes(3000);
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("write 3000")), expected);
  EXPECT_EQ(dos_.Outputs(), expected);
  EXPECT_EQ(seenBySecond, expected);
  EXPECT_GE(firstCalls, 3000U / 256 + 2);
}

TEST_F(RunnerTest, HandlerConnectedDuringTheEventRunsFromTheNextChunk) {
  std::vector<std::string> late;
  bool connected = false;
  dos_.ConnectReceiveOutputs([&](std::string&) {
    if (connected) return;
    connected = true;
    for (int i = 0; i < 64; ++i) dos_.ConnectReceiveOutputs([&late](std::string& chunk) { late.push_back(chunk); });
  });
  EXPECT_EQ(dos_.ExecuteCommand(ChildCommand("write 600")), test_helpers::PatternBytes(600));
  ASSERT_EQ(late.size(), 64U * 3);  // chunks 2 and 3 of 256 + 256 + 88, then the empty one
  EXPECT_EQ(late.back(), "");
}

}  // namespace
}  // namespace runner_test
