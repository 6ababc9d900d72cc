// The runner on Windows: which handles a child inherits, how the output ends, handles closed.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <array>
#include <string>

#include "platform/pipe.h"
#include "platform/process.h"
#include "runner/runner_fixture.h"

namespace runner_testing {
namespace {

// Two builds side by side: the second child, still running, must hold no end of the first pipe,
// or the first output would not end until the second child does.
TEST(PipeWindowsTest, ASecondChildHoldsNoEndOfTheFirstPipe) {
  const test_helpers::Watchdog watchdog(std::chrono::seconds(60));
  platform::Pipe first;
  platform::Pipe second;
  ASSERT_EQ(platform::CreatePipe(first), 0);
  ASSERT_EQ(platform::CreatePipe(second), 0);
  ASSERT_TRUE(platform::StartChild(ChildCommand("echo one"), first.writeEnd));
  ASSERT_TRUE(platform::StartChild(ChildCommand("ticks"), second.writeEnd));
  first.writeEnd.Close();
  second.writeEnd.Close();
  std::array<char, 256> buffer;
  ASSERT_TRUE(platform::ReadSome(second.readEnd, buffer).ok) << "the second child runs";

  std::string output;
  for (;;) {
    ASSERT_TRUE(platform::WaitReadable(first.readEnd, std::chrono::seconds(20))) << "the first output never ended";
    ::SetLastError(ERROR_SUCCESS);
    const platform::ReadResult read = platform::ReadSome(first.readEnd, buffer);
    if (!read.ok) break;
    output.append(buffer.data(), read.count);
  }
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE)) << "how a pipe's output ends";
  EXPECT_EQ(output, "[one]\n");
  ASSERT_TRUE(platform::ReadSome(second.readEnd, buffer).ok) << "the second child still runs";
  // Closing the last read end makes the ticking child's next write fail, and it ends.
}

// Thirty of each: a start under Wine on a busy machine can take half a second, and a leak shows after one.
TEST_F(RunnerTest, RunsAndFailedStartsCloseEveryHandle) {
  ASSERT_EQ(dos_.ExecuteCommand(kMissingProgram), "");
  ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo warm")), "[warm]\n");
  messages_.shown.clear();
  const std::size_t handles = test_helpers::OpenHandleCount();
  DWORD reported = 0;
  ASSERT_NE(::GetProcessHandleCount(::GetCurrentProcess(), &reported), 0);
  for (int i = 0; i < 30; ++i) {
    ASSERT_EQ(dos_.ExecuteCommand(ChildCommand("echo " + std::to_string(i))), "[" + std::to_string(i) + "]\n");
    ASSERT_EQ(dos_.ExecuteCommand(kMissingProgram), "") << "start " << i;
  }
  EXPECT_EQ(messages_.shown.size(), 30U);
  EXPECT_EQ(test_helpers::OpenHandleCount(), handles);
  DWORD reportedAfter = 0;
  ASSERT_NE(::GetProcessHandleCount(::GetCurrentProcess(), &reportedAfter), 0);
  EXPECT_EQ(reportedAfter, reported);  // always 0 under Wine, hence the count of our own
}

}  // namespace
}  // namespace runner_testing
