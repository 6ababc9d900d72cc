// The runner on POSIX: the shell's children, the charset form, descriptors, zombies and signals.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "platform/process.h"
#include "runner/runner_fixture.h"

namespace runner_testing {
namespace {

// A command line running script in the shell, found on PATH; script may hold no double quote.
std::string Sh(const std::string& script) {
  return "sh -c \"" + script + "\"";
}

TEST_F(RunnerTest, PosixFailuresShowOneMessageAndKeepTheLastOutput) {
  const FailureCase cases[] = {
      {"bytes not UTF-8", "/no/such/\xff\xc3 x", kNotFound, "/no/such/?? x"},
  };
  ExpectFailures(cases);
}

TEST_F(RunnerTest, PosixOutputArrivesWholeUntilEveryWriterIsDone) {
  const int inheritable = dup(STDERR_FILENO);  // left inheritable by someone, yet kept from the child
  const OutputCase cases[] = {
      // Split at blanks and tabs only, backslashes ordinary, an unterminated quote running to the end.
      {"split", ChildCommand("echo \t a\nb \\x \"c d"), "[a\nb]\n[\\x]\n[c d]\n"},
      {"grandchild holding the pipe", Sh("(sleep 0.3; echo grandchild) & echo parent"), "parent\ngrandchild\n"},
      {"only 0 1 2 inherited, 3 is ls's own", "/bin/ls /proc/self/fd", "0\n1\n2\n3\n"},
      // Whole UTF-8 sequences up to U+10FFFF kept; stray, overlong, surrogate, too high and cut short ones replaced.
      {"in its charset form",
       ChildCommand("echo caf\xc3\xa9\xf4\x8f\xbf\xbf \xff\xfe \xc1\xbf\xed\xa0\x80\xf4\x90\x80\x80 ok\xe2\x82"),
       "[caf\xc3\xa9\xf4\x8f\xbf\xbf]\n[??]\n[?????????]\n[ok??]\n"},
  };
  ExpectOutputs(cases);
  close(inheritable);
}

// Ended children are collected at the next start, so they never pile up; a child that closes its output and goes
// on running is not waited for.
TEST_F(RunnerTest, EndedChildrenNeverPileUpAndOneRunningOnIsNotWaitedFor) {
  for (int i = 0; i < 100; ++i) ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo")), "");
  int uncollected = 0;
  while (waitpid(-1, nullptr, WNOHANG) > 0) ++uncollected;
  EXPECT_LE(uncollected, 2) << "the last runs' children at most";
  const std::size_t descriptors = test_helpers::OpenHandleCount();
  const pid_t child = std::atoi(dos_.ExecuteCommand(Sh("echo $$; exec sleep 60 >&- 2>&-")).c_str());
  ASSERT_GT(child, 0);
  EXPECT_EQ(kill(child, SIGKILL), 0) << "the runner waited for the child to end";
  EXPECT_EQ(test_helpers::OpenHandleCount(), descriptors);
  EXPECT_TRUE(messages_.shown.empty());
  // Once the child has ended (waited for without collecting it), one reap must collect it.
  siginfo_t ended{};
  ASSERT_EQ(waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOWAIT), 0);
  platform::ReapEndedChildren();
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a child left uncollected";
}

TEST_F(RunnerTest, NearlyExhaustedDescriptorLimitFailsCleanly) {
  // Let UBSan check the message sink's type once, through a pipe of its own, while descriptors remain.
  ASSERT_EQ(dos_.ExecuteCommand("/no/such/program"), "");
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo before")), "[before]\n");
  const std::size_t descriptors = test_helpers::OpenHandleCount();
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
    EXPECT_EQ(test_helpers::OpenHandleCount(), descriptors);
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
}  // namespace runner_testing
