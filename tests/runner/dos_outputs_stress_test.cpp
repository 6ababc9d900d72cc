#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "platform/process.h"
#include "runner_fixture.h"

namespace runner_test {
namespace {

using test_helpers::ChildCommand;

// After the last run its child may not have finished exiting yet; once no child runs, one reap
// must leave no zombie of the runner's.
void ExpectNoZombieOnceChildrenEnded(std::size_t zombiesBefore) {
  ASSERT_TRUE(test_helpers::WaitUntilNoChildRuns(std::chrono::seconds(10)));
  platform::ReapEndedChildren();
  EXPECT_EQ(test_helpers::ZombieChildCount(), zombiesBefore);
}

TEST_F(RunnerTest, ThousandFailedStartsAndThousandRunsLeakNothing) {
  constexpr int kRuns = 1000;
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo warm")), "[warm]\n");
  ExpectNoZombieOnceChildrenEnded(0);
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();

  for (int i = 0; i < kRuns; ++i) ASSERT_EQ(dos_.ExecuteCommand("/no/such/program " + std::to_string(i)), "");
  EXPECT_EQ(messages_.shown.size(), static_cast<std::size_t>(kRuns));
  EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(test_helpers::ZombieChildCount(), 0U);

  for (int i = 0; i < kRuns; ++i) {
    ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo " + std::to_string(i))), "[" + std::to_string(i) + "]\n");
    // Ended children are collected at the next start, so they never pile up.
    if (i % 100 == 99) {
      ASSERT_LE(test_helpers::ZombieChildCount(), 2U) << "after run " << i;
    }
  }
  EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(messages_.shown.size(), static_cast<std::size_t>(kRuns));
  ExpectNoZombieOnceChildrenEnded(0);
}

// Uses up every descriptor below a lowered limit but `spare`, and gives everything back at the end.
class DescriptorSqueeze {
 public:
  explicit DescriptorSqueeze(int spare) {
    getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = std::min<rlim_t>(saved_.rlim_cur, 256);
    setrlimit(RLIMIT_NOFILE, &lowered);
    for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) held_.push_back(fd);
    for (int i = 0; i < spare && !held_.empty(); ++i) {
      close(held_.back());
      held_.pop_back();
    }
  }
  ~DescriptorSqueeze() {
    for (const int fd : held_) close(fd);
    setrlimit(RLIMIT_NOFILE, &saved_);
  }
  DescriptorSqueeze(const DescriptorSqueeze&) = delete;
  DescriptorSqueeze& operator=(const DescriptorSqueeze&) = delete;

 private:
  rlimit saved_{};
  std::vector<int> held_;
};

TEST_F(RunnerTest, NearlyExhaustedDescriptorLimitFailsCleanly) {
  // UBSan checks the type of a virtual call's target once, probing memory through a pipe of its own:
  // let it do so for the message sink while descriptors remain.
  ASSERT_EQ(dos_.ExecuteCommand("/no/such/program"), "");
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo before")), "[before]\n");
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  for (int spare = 0; spare <= 3; ++spare) {
    SCOPED_TRACE("spare descriptors: " + std::to_string(spare));
    messages_.shown.clear();
    const std::string command = ChildCommand("echo \xff" + std::to_string(spare));
    std::string result;
    {
      const DescriptorSqueeze squeeze(spare);
      result = dos_.ExecuteCommand(command);
    }
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
  const auto report = std::filesystem::temp_directory_path() / ("runner_closed_" + std::to_string(getpid()));
  const int status = test_helpers::RunWithStandardStreamsClosed(test_helpers::ClosedStdParentPath(),
                                                                {report.string(), test_helpers::RunnerChildPath()},
                                                                std::chrono::seconds(30));
  ASSERT_EQ(status, 0);
  std::ifstream in(report);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text,
            "closed at start: 1\n"
            "out 0\nerr 0\nout 1\nerr 1\nout 2\nerr 2\n"
            "chunks match: 1\n"
            "eof\n"
            "closed after: 1\n"
            "messages: \n");
  std::filesystem::remove(report);
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

  const std::string result = dos_.ExecuteCommand(ChildCommand("slow 40 5"));

  itimerval off{};
  setitimer(ITIMER_REAL, &off, nullptr);
  sigaction(SIGALRM, &previous, nullptr);
  std::string expected;
  for (int i = 0; i < 40; ++i) expected += "line " + std::to_string(i) + "\n";
  EXPECT_EQ(result, expected);
  EXPECT_GT(interruptions.load(), 10);
}

TEST_F(RunnerTest, BytesThatAreNotTextPassThroughUnchanged) {
  // 255 letters, then U+00E9 split across the first two reads, NUL, a lone continuation byte, 0xFF.
  const std::string bytes = std::string(255, 'a') + "\xc3\xa9" + std::string(1, '\0') + "\x80\xff\n";
  std::string hex;
  for (const char c : bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 15];
  }
  RecordChunks();
  EXPECT_TRUE(dos_.ExecuteCommand(ChildCommand("hex " + hex)) == bytes);
  EXPECT_TRUE(dos_.Outputs() == bytes);
  ASSERT_EQ(chunks_.size(), 3U);  // the child writes it all at once, below the pipe's atomic size
  EXPECT_EQ(chunks_[0], std::string(255, 'a') + "\xc3");
  EXPECT_TRUE(chunks_[1] == "\xa9" + std::string(1, '\0') + "\x80\xff\n");
  EXPECT_EQ(chunks_[2], "");
}

}  // namespace
}  // namespace runner_test
