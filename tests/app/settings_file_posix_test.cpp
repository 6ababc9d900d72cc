#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "app/settings_file.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing_support::EntriesIn;
using testing_support::ReadAll;

TEST(SettingsFile, SavesThroughALinkToItsTarget) {
  testing_support::TempFolder app;
  const auto path = app.Path() / "parkmarq.ini";
  // A settings file kept elsewhere through a link (a relative one, here) stays a link.
  const auto target = app.Write("shared/settings.ini", "/old/\r\n");
  fs::remove(path);
  fs::create_symlink("shared/settings.ini", path);
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), "/m/"));
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(ReadAll(target), "/m/\r\n");
  EXPECT_EQ(EntriesIn(app.Path() / "shared"), 1);
  fs::remove(target);  // a link whose target is gone gets the target back
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), "/n/"));
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(ReadAll(target), "/n/\r\n");
}

// Root writes whatever the permissions say, so the read-only mark itself must keep the file.
TEST(SettingsFile, AReadOnlyFileIsLeftAsItIsAndKeepsItsMode) {
  testing_support::TempFolder app;
  const auto path = app.Write("parkmarq.ini", "/old/\r\n");
  const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  for (const bool throughLink : {false, true}) {
    SCOPED_TRACE(throughLink ? "through a link" : "the file itself");
    if (throughLink) {
      fs::rename(path, app.Path() / "real.ini");
      fs::create_symlink("real.ini", path);
    }
    fs::permissions(path, readOnly);
    EXPECT_FALSE(SaveDefaultOutputFolder(app.Str(), "/new/"));
    EXPECT_EQ(ReadAll(path), "/old/\r\n");
    EXPECT_EQ(fs::status(path).permissions(), readOnly);
    EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), "/old/");
  }
  // A writable file keeps its own mode when it is replaced.
  const auto ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
  fs::permissions(path, ownerOnly);
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), "/new/"));
  EXPECT_EQ(ReadAll(path), "/new/\r\n");
  EXPECT_EQ(fs::status(path).permissions(), ownerOnly);
}

TEST(SettingsFile, AFailedSaveOnAFullDiskOrInAReadOnlyFolderKeepsTheFileSavedBefore) {
  testing_support::TempFolder app;
  const auto path = app.Path() / "parkmarq.ini";
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), "/old/"));
  const auto fullDisk = testing_support::InChildWithFileSizeLimit(
      4, [&] { return SaveDefaultOutputFolder(app.Str(), "/a/much/longer/folder/") ? "saved" : "refused"; });
  EXPECT_EQ(fullDisk, "refused");
  EXPECT_EQ(ReadAll(path), "/old/\r\n");
  EXPECT_EQ(EntriesIn(app.Path()), 1);

  if (::geteuid() == 0) return;  // permissions do not stop root; the folder in the file's place covered it
  fs::permissions(app.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(SaveDefaultOutputFolder(app.Str(), "/new/"));
  fs::permissions(app.Path(), fs::perms::owner_all);
  EXPECT_EQ(ReadAll(path), "/old/\r\n");
}

// A program killed at any moment of its shut-down leaves the old settings or the new, never a part.
TEST(SettingsFile, KilledMidWriteLeavesOldOrNew) {
  testing_support::TempFolder app;
  // Long enough that a kill often lands inside the write.
  const std::string first = "/first/" + std::string(200000, 'a') + "/";
  const std::string second = "/second/" + std::string(200000, 'b') + "/";
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), first));
  for (int round = 0; round < 100; ++round) {
    SCOPED_TRACE(round);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::alarm(30);
      for (int i = 0;; ++i) (void)SaveDefaultOutputFolder(app.Str(), i % 2 == 0 ? second : first);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(round * 30));
    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const auto content = ReadAll(app.Path() / "parkmarq.ini");
    ASSERT_TRUE(content == first + "\r\n" || content == second + "\r\n") << "found " << content.size() << " bytes";
  }
  // The next start removes what the killed saves left, and the next shut-down works.
  (void)LoadDefaultOutputFolder(app.Str());
  EXPECT_EQ(EntriesIn(app.Path()), 1);
  EXPECT_TRUE(SaveDefaultOutputFolder(app.Str(), "/m/"));
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "/m/\r\n");
}

}  // namespace
}  // namespace app
