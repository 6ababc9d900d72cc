#include "app/settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

std::ptrdiff_t EntriesIn(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

TEST(SettingsFile, LoadsTheFirstLineAsItIsAndSavesWithoutWritingThroughALink) {
  testing_support::TempFolder app;
  const auto path = app.Path() / "parkmarq.ini";
  EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), std::nullopt);
  for (const auto& [content, folder] : {std::pair{"/home/a/Models/\r\n/other/\r\nmore", "/home/a/Models/"},
                                        {"  /with blanks/  \r\n", "  /with blanks/  "},
                                        {"", ""},
                                        {"/m/\n/x/\n", "/m/"}}) {
    app.Write("parkmarq.ini", content);
    EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), folder) << content;
  }
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), ""));  // first run: nothing chosen
  EXPECT_EQ(ReadAll(path), "\r\n");
  const std::string unusual = "/tmp/Models \xC3\xA9t\xC3\xA9 ; # = /";
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), unusual));
  EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), unusual);
  EXPECT_EQ(EntriesIn(app.Path()), 1);  // nothing but the settings file is left beside it

  const auto victim = app.Write("elsewhere.txt", "keep");
  fs::remove(path);
  fs::create_symlink(victim, path);
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), "/m/"));
  EXPECT_EQ(ReadAll(victim), "keep");
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(ReadAll(path), "/m/\r\n");
}

TEST(SettingsFile, AFailedSaveKeepsTheFileSavedBefore) {
  testing_support::TempFolder app;
  const auto path = app.Path() / "parkmarq.ini";
  // A folder in the file's place cannot be replaced by a file, not even by root.
  fs::create_directories(path / "inside");
  EXPECT_FALSE(SaveDefaultOutputFolder(app.Str(), "/m/"));
  EXPECT_TRUE(fs::is_directory(path / "inside"));
  EXPECT_EQ(EntriesIn(app.Path()), 1);  // no temporary left
  fs::remove_all(path);

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
  // The next shut-down works despite any leftovers.
  EXPECT_TRUE(SaveDefaultOutputFolder(app.Str(), "/m/"));
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "/m/\r\n");
}

}  // namespace
}  // namespace app
