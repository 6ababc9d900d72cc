#include "platform/folder_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "helpers/process_probe.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

TEST(FolderLock, OneHolderAtATimeAcrossProcesses) {
  const test_helpers::Watchdog watchdog(std::chrono::seconds(30));
  testing_support::TempFolder temp;
  const auto folder = temp.Str();
  {
    auto first = FolderLock::Try(folder);
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(FolderLock::Try(folder).has_value());

    // Another process sees it held too, and does not inherit it through fork.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(FolderLock::Try(folder).has_value() ? 1 : 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    auto moved = std::move(*first);
    first.reset();
    EXPECT_FALSE(FolderLock::Try(folder).has_value());  // the moved-to lock still holds it
  }
  EXPECT_TRUE(FolderLock::Try(folder).has_value());
  auto waited = FolderLock::Wait(folder);
  EXPECT_FALSE(FolderLock::Try(folder).has_value());
}

}  // namespace
}  // namespace platform
