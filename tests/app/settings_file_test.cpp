#include "app/settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

TEST(SettingsFile, LoadsTheFirstLineAsItIs) {
  const struct {
    const char* name;
    std::string content;
    std::string folder;
  } rows[] = {
      {"one line", "/home/a/Models/\r\n", "/home/a/Models/"},
      {"further lines ignored", "/home/a/Models/\r\n/other/\r\nmore", "/home/a/Models/"},
      {"no separator at the end", "/home/a/Models\r\n", "/home/a/Models"},
      {"blanks kept", "  /with blanks/  \r\n", "  /with blanks/  "},
      {"empty line", "\r\n", ""},
      {"no line at all", "", ""},
      {"no line end", "/m/", "/m/"},
      {"lone LF", "/m/\n/x/\n", "/m/"},
      {"lone CR", "/m/\r/x/", "/m/"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing_support::TempFolder app;
    app.Write("parkmarq.ini", row.content);
    EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), row.folder);
  }
  testing_support::TempFolder app;
  EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), std::nullopt);
  fs::create_directory(app.Path() / "parkmarq.ini");  // a folder of that name is no settings file
  EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), std::nullopt);
}

TEST(SettingsFile, StartAndShutDownRoundTrip) {
  testing_support::TempFolder app;
  const auto path = app.Path() / "parkmarq.ini";
  // First run: no file, nothing chosen; shut-down writes the empty line.
  EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), std::nullopt);
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), ""));
  EXPECT_EQ(ReadAll(path), "\r\n");
  EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), "");

  // A hand-edited file with further lines comes back as one line.
  app.Write("parkmarq.ini", "/home/a/Models/\r\nleft over\r\n");
  const auto folder = LoadDefaultOutputFolder(app.Str());
  ASSERT_EQ(folder, "/home/a/Models/");
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), *folder));
  EXPECT_EQ(ReadAll(path), "/home/a/Models/\r\n");

  const std::string unusual = "/tmp/Models \xC3\xA9t\xC3\xA9 ; # = /";
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), unusual));
  EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), unusual);
  // Nothing but the settings file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(app.Path()), fs::directory_iterator()), 1);

  // A link in its place is replaced, and what it pointed to stays.
  const auto victim = app.Write("elsewhere.txt", "keep");
  fs::remove(path);
  fs::create_symlink(victim, path);
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), "/m/"));
  EXPECT_EQ(ReadAll(victim), "keep");
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(ReadAll(path), "/m/\r\n");
}

TEST(SettingsFile, AFailedSaveKeepsTheFileSavedBefore) {
  testing_support::TempFolder temp;
  EXPECT_FALSE(SaveDefaultOutputFolder((temp.Path() / "missing").string(), "/m/"));
  EXPECT_FALSE(fs::exists(temp.Path() / "missing"));

  // A folder in the file's place cannot be replaced by a file, not even by root.
  fs::create_directories(temp.Path() / "parkmarq.ini" / "inside");
  EXPECT_FALSE(SaveDefaultOutputFolder(temp.Str(), "/m/"));
  EXPECT_TRUE(fs::is_directory(temp.Path() / "parkmarq.ini" / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);  // no temporary left
}

TEST(SettingsFile, AReadOnlyFolderAtShutDown) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root; a folder in the file's place covers it";
  testing_support::TempFolder app;
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), "/old/"));
  fs::permissions(app.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(SaveDefaultOutputFolder(app.Str(), "/new/"));
  fs::permissions(app.Path(), fs::perms::owner_all);
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "/old/\r\n");
}

TEST(SettingsFile, AFullDiskAtShutDown) {
  testing_support::TempFolder app;
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), "/old/"));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::alarm(30);
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit fileSize{4, 4};
    ::setrlimit(RLIMIT_FSIZE, &fileSize);
    ::_exit(SaveDefaultOutputFolder(app.Str(), "/a/much/longer/folder/") ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save did not report the full disk";
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "/old/\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(app.Path()), fs::directory_iterator()), 1);
}

// A program killed at any moment of its shut-down leaves the old settings or the new, never a part.
TEST(SettingsFile, KilledMidWriteLeavesOldOrNew) {
  testing_support::TempFolder app;
  const auto path = app.Path() / "parkmarq.ini";
  // Long enough that a kill often lands inside the write.
  const std::string first = "/first/" + std::string(200000, 'a') + "/";
  const std::string second = "/second/" + std::string(200000, 'b') + "/";
  ASSERT_TRUE(SaveDefaultOutputFolder(app.Str(), first));
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
  for (int round = 0; round < 100; ++round) {
    SCOPED_TRACE(round);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::alarm(30);
      for (int i = 0;; ++i) (void)SaveDefaultOutputFolder(app.Str(), i % 2 == 0 ? second : first);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const auto content = ReadAll(path);
    const bool whole = content == first + "\r\n" || content == second + "\r\n";
    ASSERT_TRUE(whole) << "found " << content.size() << " bytes";
  }
  // The next start reads one of the two, and the next shut-down works despite any leftovers.
  const auto folder = LoadDefaultOutputFolder(app.Str());
  EXPECT_TRUE(folder == first || folder == second);
  EXPECT_TRUE(SaveDefaultOutputFolder(app.Str(), "/m/"));
  EXPECT_EQ(ReadAll(path), "/m/\r\n");
}

}  // namespace
}  // namespace app
