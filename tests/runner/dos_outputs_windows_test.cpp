// The runner on Windows: which handles a child inherits.
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
  ASSERT_EQ(platform::CreatePipe(first) + platform::CreatePipe(second), 0);
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
  // Closing the last read end makes the ticking child's next write fail, and it ends.
  ASSERT_TRUE(platform::ReadSome(second.readEnd, buffer).ok) << "the second child still runs";
}

}  // namespace
}  // namespace runner_testing
