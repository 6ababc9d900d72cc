#include "runner/dos_outputs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <tuple>

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

// A command line running script in /bin/sh; script may hold no double quote.
std::string Sh(const std::string& script) {
  return "/bin/sh -c \"" + script + "\"";
}

// A runner whose messages and chunks are recorded, under a watchdog so a hanging child fails the test.
class RunnerTest : public ::testing::Test {
 protected:
  RunnerTest() {
    dos_.ConnectReceiveOutputs([this](std::string& chunk) { chunks_.push_back(chunk); });
  }

  // The chunks since the last clear() make output, each of 1 to 256 bytes, and one empty chunk ends them.
  void ExpectChunksMake(const std::string& output) const {
    ASSERT_FALSE(chunks_.empty());
    EXPECT_EQ(chunks_.back(), "");
    std::string joined;
    for (std::size_t i = 0; i + 1 < chunks_.size(); ++i) {
      ASSERT_TRUE(!chunks_[i].empty() && chunks_[i].size() <= 256) << "chunk " << i << ": " << chunks_[i].size();
      joined += chunks_[i];
    }
    EXPECT_TRUE(joined == output);  // not EXPECT_EQ: a mismatch would print megabytes
  }

  // The last run's child may still be on its way out; once no child runs, one reap must leave no zombie.
  static void ExpectNoZombieOnceChildrenEnded() {
    ASSERT_TRUE(test_helpers::WaitUntilNoChildRuns(std::chrono::seconds(10)));
    platform::ReapEndedChildren();
    EXPECT_EQ(test_helpers::ZombieChildCount(), 0U);
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
      {"blanks only", "  \t ", kNotFound, "  \t "},
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
  std::filesystem::copy_file(test_helpers::RunnerChildPath(), program);
  // Lines of 99 printable characters, each shifted against the one before: no two neighbouring reads alike.
  std::string large(5 * 1024 * 1024 + 17, '\n');
  for (std::size_t i = 0; i < large.size(); ++i) {
    if (i % 100 != 99) large[i] = static_cast<char>('!' + (i / 100 + i) % 90);
  }
  const auto largeFile = folder_.Write("large", large);
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"nothing", "/bin/true", ""},
      {"several MiB", "/bin/cat \"" + largeFile.string() + "\"", large},
      {"stderr interleaved", Sh("echo out 0; echo err 0 >&2; echo out 1; echo err 1 >&2"),
       "out 0\nerr 0\nout 1\nerr 1\n"},
      {"stdin at its end", Sh("cat; echo eof"), "eof\n"},
      {"grandchild holding the pipe", Sh("(sleep 0.3; echo grandchild) & echo parent"), "parent\ngrandchild\n"},
      {"only 0 1 2 inherited, 3 is ls's own", "/bin/ls /proc/self/fd", "0\n1\n2\n3\n"},
      {"quoted with blanks", "\"" + program.string() + "\" echo \"a  b\"  plain \"\" x\"y z\"w \\t",
       "[a  b]\n[plain]\n[]\n[xy zw]\n[\\t]\n"},
      {"in its charset form", ChildCommand("echo caf\xc3\xa9 \xff\xfe"), "[caf\xc3\xa9]\n[??]\n"},
  };
  const int inheritable = dup(STDERR_FILENO);  // left inheritable by someone, yet kept from the child
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  for (const auto& [name, commandLine, expected] : cases) {
    SCOPED_TRACE(name);
    chunks_.clear();
    EXPECT_TRUE(dos_.ExecuteCommand(commandLine) == expected) << dos_.Outputs().substr(0, 300);
    EXPECT_TRUE(dos_.Outputs() == expected);
    ExpectChunksMake(expected);
    EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  }
  EXPECT_TRUE(messages_.shown.empty());
  close(inheritable);
}

TEST_F(RunnerTest, ReturnsWhenTheChildClosesItsOutputAndGoesOnRunning) {
  const pid_t child = std::atoi(dos_.ExecuteCommand(Sh("echo $$; exec sleep 60 >&- 2>&-")).c_str());
  ASSERT_GT(child, 0);
  siginfo_t info{};
  ASSERT_EQ(waitid(P_PID, child, &info, WEXITED | WNOHANG | WNOWAIT), 0);
  EXPECT_EQ(info.si_pid, 0) << "the child has ended";
  kill(child, SIGKILL);
  ExpectNoZombieOnceChildrenEnded();
}

TEST_F(RunnerTest, HandlersGetTheBytesOfEachReadUnchangedInCopiesOfTheirOwn) {
  // 255 letters, then U+00E9 split across the first two reads, NUL, a lone continuation byte, 0xFF.
  const std::string bytes = std::string(255, 'a') + "\xc3\xa9" + std::string(1, '\0') + "\x80\xff\n";
  const auto file = folder_.Write("bytes", bytes);
  struct {
    std::string byLast;
    std::vector<std::string> late;
  } heard;
  // Two pointers are kept inside the list itself, not on the heap: moving the list while it runs would show.
  dos_.ConnectReceiveOutputs([this, &heard](std::string& chunk) {
    // Connected while the event is raised: they first hear the next chunk, and this handler lives on.
    if (chunks_.size() == 1) {
      for (int i = 0; i < 64; ++i) dos_.ConnectReceiveOutputs([&heard](std::string& c) { heard.late.push_back(c); });
    }
    const std::string sofar = dos_.Outputs();
    ASSERT_GE(sofar.size(), chunk.size());
    EXPECT_EQ(sofar.substr(sofar.size() - chunk.size()), chunk);
    EXPECT_EQ(sofar.size(), heard.byLast.size() + chunk.size());
    chunk = "changed";
  });
  dos_.ConnectReceiveOutputs([&heard](std::string& chunk) { heard.byLast += chunk; });

  EXPECT_EQ(dos_.ExecuteCommand("/bin/cat \"" + file.string() + "\""), bytes);
  EXPECT_EQ(dos_.Outputs(), bytes);
  EXPECT_EQ(heard.byLast, bytes);
  // cat writes it all at once, below the pipe's atomic size, so the first read takes 256 bytes.
  EXPECT_EQ(chunks_, (std::vector<std::string>{bytes.substr(0, 256), bytes.substr(256), ""}));
  EXPECT_EQ(heard.late.size(), 64U * 2);
}

TEST_F(RunnerTest, ThousandFailedStartsAndThousandRunsLeakNothing) {
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo warm")), "[warm]\n");
  ExpectNoZombieOnceChildrenEnded();
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(dos_.ExecuteCommand("/no/such/program " + std::to_string(i)), "");
  EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo " + std::to_string(i))), "[" + std::to_string(i) + "]\n");
    // Ended children are collected at the next start, so they never pile up.
    if (i % 100 == 99) {
      ASSERT_LE(test_helpers::ZombieChildCount(), 2U) << "after run " << i;
    }
  }
  EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(messages_.shown.size(), 1000U);
  ExpectNoZombieOnceChildrenEnded();
}

TEST_F(RunnerTest, NearlyExhaustedDescriptorLimitFailsCleanly) {
  // UBSan checks the type of a virtual call's target once, probing memory through a pipe of its own:
  // let it do so for the message sink while descriptors remain.
  ASSERT_EQ(dos_.ExecuteCommand("/no/such/program"), "");
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo before")), "[before]\n");
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  for (int spare = 0; spare <= 3; ++spare) {
    SCOPED_TRACE("spare descriptors: " + std::to_string(spare));
    messages_.shown.clear();
    const std::string command = ChildCommand("echo \xff" + std::to_string(spare));
    // Every descriptor below a lowered limit taken but `spare`, and all given back after the run.
    rlimit lowered = saved;
    lowered.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 256);
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
      EXPECT_EQ(dos_.CommandLine(), command);  // not yet in its charset form
      EXPECT_EQ(dos_.Outputs(), "[before]\n");
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
    try {
      for (int fd = 0; fd <= 2; ++fd) close(fd);
      std::string text = dos_.ExecuteCommand(ChildCommand("echo out"));
      text += dos_.ExecuteCommand(Sh("echo err >&2; cat; echo eof"));
      for (const std::string& message : messages_.shown) text += "message: " + message + "\n";
      const bool closed = fcntl(0, F_GETFD) == -1 && fcntl(1, F_GETFD) == -1 && fcntl(2, F_GETFD) == -1;
      folder_.Write("report", text + (closed ? "closed after" : "left open"));
    } catch (...) {
    }
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(parent, &status, 0), parent);
  EXPECT_EQ(testing_support::ReadAll(folder_.Path() / "report"), "[out]\nerr\neof\nclosed after");
}

std::atomic<int> interruptions{0};

TEST_F(RunnerTest, SignalsWithoutRestartDoNotEndTheOutputEarly) {
  struct sigaction action {};
  struct sigaction previous {};
  action.sa_handler = [](int) { interruptions.fetch_add(1); };
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocked read fails with EINTR
  ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
  itimerval every{{0, 1000}, {0, 1000}};
  ASSERT_EQ(setitimer(ITIMER_REAL, &every, nullptr), 0);
  const std::string result = dos_.ExecuteCommand(Sh("echo a; sleep 0.2; echo b"));
  itimerval off{};
  setitimer(ITIMER_REAL, &off, nullptr);
  sigaction(SIGALRM, &previous, nullptr);
  EXPECT_EQ(result, "a\nb\n");
  EXPECT_GT(interruptions.load(), 10);
}

}  // namespace
