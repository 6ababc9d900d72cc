#include "platform/folder_lock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <system_error>

#include "support/temp_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(FolderLock, OneHolderAtATimeAndNothingLeftInTheFolder) {
  const testing_support::TempFolder folder;
  std::optional<FolderLock> held = FolderLock::Try(folder.Str());
  ASSERT_TRUE(held.has_value());
  EXPECT_FALSE(FolderLock::Try(folder.Str()).has_value());

  auto waiting = std::async(std::launch::async, [&] { return FolderLock::Wait(folder.Str()); });
  EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  held.reset();
  {
    const FolderLock next = waiting.get();
    EXPECT_FALSE(FolderLock::Try(folder.Str()).has_value());
  }
  EXPECT_TRUE(FolderLock::Try(folder.Str()).has_value());
  EXPECT_TRUE(fs::is_empty(folder.Path())) << "a lock must leave nothing behind";
}

TEST(FolderLock, NoFolderToLockThrows) {
  const testing_support::TempFolder folder;
  const auto file = folder.Write("file", "x");
  for (const auto& path : {folder.Path() / "missing", file}) {
    SCOPED_TRACE(path.string());
    EXPECT_THROW((void)FolderLock::Try(path.string()), std::system_error);
    EXPECT_THROW((void)FolderLock::Wait(path.string()), std::system_error);
  }
}

}  // namespace
}  // namespace platform
