#include "runner/dos_outputs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <tuple>
#include <utility>

#include "helpers/process_probe.h"
#include "platform/process.h"
#include "support/temp_folder.h"

namespace {

using test_helpers::ChildCommand;

constexpr char kNotFound[] = "File or command not found";

class RecordingMessages : public runner::RunnerMessages {
 public:
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

// A command line running script in the shell, found on PATH; script may hold no double quote.
std::string Sh(const std::string& script) {
  return "sh -c \"" + script + "\"";
}

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

  test_helpers::Watchdog watchdog_{std::chrono::seconds(90)};
  testing_support::TempFolder folder_;
  RecordingMessages messages_;
  runner::DOSOutputs dos_{messages_};
  std::vector<std::string> chunks_;
};

TEST_F(RunnerTest, FailuresShowOneMessageAndKeepTheLastOutput) {
  const std::string plain = folder_.Write("plain", "#!/bin/sh\necho should not run\n").string();  // not executable
  const std::string withNul = ChildCommand(std::string("echo a\0b", 8));
  const std::tuple<const char*, std::string, const char*, std::string> cases[] = {
      {"nothing given, nothing stored", "", "Command Line empty", ""},
      {"missing", "/no/such/folder/compiler a b", kNotFound, "/no/such/folder/compiler a b"},
      {"not executable", "\"" + plain + "\" x", kNotFound, "\"" + plain + "\" x"},
      {"bytes not UTF-8", "/no/such/\xff\xc3 x", kNotFound, "/no/such/?? x"},
      {"NUL in an argument", withNul, kNotFound, withNul},
  };
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo before")), "[before]\n");
  ASSERT_EQ(dos_.ExecuteCommand(), "[before]\n") << "the stored command line runs again";
  chunks_.clear();
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  for (const auto& [name, commandLine, message, storedAfter] : cases) {
    SCOPED_TRACE(name);
    messages_.shown.clear();
    dos_.SetCommandLine("");
    EXPECT_EQ(dos_.ExecuteCommand(commandLine), "");
    EXPECT_EQ(messages_.shown, std::vector<std::string>{message});
    EXPECT_EQ(dos_.CommandLine(), storedAfter);
    EXPECT_EQ(dos_.Outputs(), "[before]\n");
    EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  }
  EXPECT_TRUE(chunks_.empty());
}

TEST_F(RunnerTest, OutputArrivesWholeAndInOrderUntilEveryWriterIsDone) {
  const auto program = folder_.Path() / "dir with blank" / "runner child";
  std::filesystem::create_directories(program.parent_path());
  std::filesystem::copy_file(RUNNER_CHILD_PATH, program);
  // Lines of 99 printable characters, each shifted against the one before: no two neighbouring reads alike.
  std::string large(5 * 1024 * 1024 + 17, '\n');
  for (std::size_t i = 0; i < large.size(); ++i)
    large[i] = i % 100 == 99 ? '\n' : static_cast<char>('!' + (i / 100 + i) % 90);
  const auto largeFile = folder_.Write("large", large);
  // 255 letters, then U+00E9 split across the first two reads, NUL, a lone continuation byte, 0xFF.
  const std::string bytes = std::string(255, 'a') + "\xc3\xa9" + std::string(1, '\0') + "\x80\xff\n";
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"nothing", "/bin/true", ""},
      {"several MiB", "/bin/cat \"" + largeFile.string() + "\"", large},
      {"bytes as they are", "/bin/cat \"" + folder_.Write("bytes", bytes).string() + "\"", bytes},
      {"stderr interleaved", Sh("echo out 0; echo err 0 >&2; echo out 1; echo err 1 >&2"),
       "out 0\nerr 0\nout 1\nerr 1\n"},
      {"grandchild holding the pipe", Sh("(sleep 0.3; echo grandchild) & echo parent"), "parent\ngrandchild\n"},
      {"only 0 1 2 inherited, 3 is ls's own", "/bin/ls /proc/self/fd", "0\n1\n2\n3\n"},
      {"quoted with blanks", "\"" + program.string() + "\" echo \"a  b\"  plain \"\" x\"y z\"w \\t",
       "[a  b]\n[plain]\n[]\n[xy zw]\n[\\t]\n"},
      // Whole UTF-8 sequences up to U+10FFFF kept; stray, overlong, surrogate, too high and cut short ones replaced.
      {"in its charset form",
       ChildCommand("echo caf\xc3\xa9\xf4\x8f\xbf\xbf \xff\xfe \xc1\xbf\xed\xa0\x80\xf4\x90\x80\x80 ok\xe2\x82"),
       "[caf\xc3\xa9\xf4\x8f\xbf\xbf]\n[??]\n[?????????]\n[ok??]\n"},
  };
  const int inheritable = dup(STDERR_FILENO);  // left inheritable by someone, yet kept from the child
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  for (const auto& [name, commandLine, expected] : cases) {
    SCOPED_TRACE(name);
    chunks_.clear();
    EXPECT_TRUE(dos_.ExecuteCommand(commandLine) == expected) << dos_.Outputs().substr(0, 300);
    EXPECT_TRUE(dos_.Outputs() == expected);  // not EXPECT_EQ: a mismatch would print megabytes
    // Chunks of 1 to 256 bytes make the output, and one empty chunk ends them.
    ASSERT_EQ(chunks_.back(), "");
    std::string joined;
    for (std::size_t i = 0; i + 1 < chunks_.size(); ++i) {
      ASSERT_TRUE(!chunks_[i].empty() && chunks_[i].size() <= 256) << "chunk " << i << ": " << chunks_[i].size();
      joined += chunks_[i];
    }
    EXPECT_TRUE(joined == expected);
    EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  }
  EXPECT_TRUE(messages_.shown.empty());
  close(inheritable);
}

TEST_F(RunnerTest, ThousandFailedStartsThousandRunsAndAChildRunningOnLeakNothing) {
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo warm")), "[warm]\n");
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(dos_.ExecuteCommand("/no/such/program"), "") << "start " << i;
  ASSERT_EQ(messages_.shown.size(), 1000U);
  EXPECT_EQ(dos_.Outputs(), "[warm]\n");
  EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  messages_.shown.clear();
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo " + std::to_string(i))), "[" + std::to_string(i) + "]\n");
    // Ended children are collected at the next start, so they never pile up.
    ASSERT_TRUE(i % 100 != 99 || std::ranges::count(test_helpers::ChildStates(), 'Z') <= 2) << "after run " << i;
  }
  // A child that closes its output and goes on running: the run ends without waiting for it.
  const pid_t child = std::atoi(dos_.ExecuteCommand(Sh("echo $$; exec sleep 60 >&- 2>&-")).c_str());
  ASSERT_GT(child, 0);
  EXPECT_EQ(kill(child, SIGKILL), 0) << "the runner waited for the child to end";
  EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  EXPECT_TRUE(messages_.shown.empty());
  // The last run's child may still be on its way out; once no child runs, one reap must leave no zombie.
  while (test_helpers::ChildStates().find_first_not_of("ZX") != std::string::npos) usleep(2000);
  platform::ReapEndedChildren();
  EXPECT_EQ(test_helpers::ChildStates().find('Z'), std::string::npos);
}

TEST_F(RunnerTest, NearlyExhaustedDescriptorLimitFailsCleanly) {
  // Let UBSan check the message sink's type once, through a pipe of its own, while descriptors remain.
  ASSERT_EQ(dos_.ExecuteCommand("/no/such/program"), "");
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo before")), "[before]\n");
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  const rlimit lowered{std::min<rlim_t>(saved.rlim_cur, 256), saved.rlim_max};
  for (int spare = 0; spare <= 3; ++spare) {
    SCOPED_TRACE("spare descriptors: " + std::to_string(spare));
    messages_.shown.clear();
    const std::string command = ChildCommand("echo \xff" + std::to_string(spare));
    // Every descriptor below a lowered limit taken but `spare`, and all given back after the run.
    setrlimit(RLIMIT_NOFILE, &lowered);
    std::vector<int> held;
    for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) held.push_back(fd);
    for (int i = 0; i < spare; ++i, held.pop_back()) close(held.back());
    const std::string result = dos_.ExecuteCommand(command);
    for (const int fd : held) close(fd);
    setrlimit(RLIMIT_NOFILE, &saved);

    if (spare < 2) {
      EXPECT_EQ(result, "");
      EXPECT_EQ(messages_.shown, std::vector<std::string>{"CreatePipe failed. Error: " + std::to_string(EMFILE)});
      EXPECT_EQ(dos_.CommandLine() + dos_.Outputs(), command + "[before]\n");  // not yet in its charset form
    } else {
      // The pipe takes the last two; the child still finds a descriptor for its standard input.
      EXPECT_EQ(result, "[?" + std::to_string(spare) + "]\n");
      EXPECT_TRUE(messages_.shown.empty());
    }
    EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  }
}

TEST_F(RunnerTest, ParentStartedWithStandardStreamsClosedStillGetsTheOutput) {
  const pid_t parent = fork();
  ASSERT_GE(parent, 0);
  if (parent == 0) {
    // As a desktop launcher may start the window: a pipe end numbered 0, 1 or 2 would pass for a standard stream.
    const bool passed = [this]() noexcept {  // an exception ends the copy of the test program here, not in gtest
      for (int fd = 0; fd <= 2; ++fd) close(fd);
      std::string text = dos_.ExecuteCommand(ChildCommand("echo out"));
      text += dos_.ExecuteCommand(Sh("echo err >&2; cat; echo eof"));
      return text == "[out]\nerr\neof\n" && fcntl(0, F_GETFD) == -1 && fcntl(1, F_GETFD) == -1 &&
             fcntl(2, F_GETFD) == -1;
    }();
    _exit(passed ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(waitpid(parent, &status, 0), parent);
  EXPECT_EQ(status, 0) << "the output was not whole, or 0 1 2 were left open";
}

TEST_F(RunnerTest, AWaitHandlerRunsWhileTheChildIsSilentAndBetweenChunks) {
  std::string events;  // "w" for the wait handler, "[chunk]" for each chunk
  dos_.ConnectReceiveOutputs([&events](const std::string& chunk) { events += "[" + chunk + "]"; });
  dos_.SetWaitHandler([&events] { events += "w"; }, std::chrono::milliseconds(20));
  EXPECT_EQ(dos_.ExecuteCommand(Sh("echo a; sleep 0.4; echo b")), "a\nb\n");
  ASSERT_TRUE(events.starts_with("w")) << events;
  EXPECT_EQ(events.find("]["), std::string::npos) << "no chunk without a wait handler call before it: " << events;
  const auto a = events.find("[a\n]");
  const auto b = events.find("[b\n]");
  ASSERT_TRUE(a != std::string::npos && b != std::string::npos) << events;
  // The child is silent for 0.4 s: at 20 ms a step the handler runs many times, however slow the machine.
  EXPECT_GE(
      std::count(events.begin() + static_cast<std::ptrdiff_t>(a), events.begin() + static_cast<std::ptrdiff_t>(b), 'w'),
      4)
      << events;

  dos_.SetWaitHandler({}, std::chrono::milliseconds(20));
  events.clear();
  EXPECT_EQ(dos_.ExecuteCommand(Sh("echo c")), "c\n");
  EXPECT_EQ(events, "[c\n][]") << "an empty handler is never called";
}

std::atomic<int> interruptions{0};

TEST_F(RunnerTest, SignalsWithoutRestartDoNotEndTheOutputEarly) {
  struct sigaction action {};
  struct sigaction previous {};
  action.sa_handler = [](int) { interruptions.fetch_add(1); };
  // No SA_RESTART in sa_flags: a blocked read fails with EINTR.
  ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
  const itimerval every{{0, 1000}, {0, 1000}};
  const itimerval off{};
  ASSERT_EQ(setitimer(ITIMER_REAL, &every, nullptr), 0);
  const std::string result = dos_.ExecuteCommand(Sh("echo a; sleep 0.2; echo b"));
  setitimer(ITIMER_REAL, &off, nullptr);
  sigaction(SIGALRM, &previous, nullptr);
  EXPECT_EQ(result, "a\nb\n");
  EXPECT_GT(interruptions.load(), 10);
}

}  // namespace
