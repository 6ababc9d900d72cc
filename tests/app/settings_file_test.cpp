#include "app/settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <tuple>

#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

std::ptrdiff_t EntriesIn(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

TEST(SettingsFile, LoadsTheFirstLineAsItIsAndSavesThroughALinkToItsTarget) {
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

// What a save killed midway left goes at the next start; a save still running keeps its file.
TEST(SettingsFile, LeftoversOfAKilledSaveAreRemovedAtTheNextStart) {
  testing_support::TempFolder app;
  app.Write("parkmarq.ini", "/m/\r\n");
  const std::string running = "parkmarq.ini." + std::to_string(::getpid()) + ".3.tmp";
  for (const char* name : {"parkmarq.ini.999999999.1.tmp", "parkmarq.ini.999999998.12.tmp", "notes.tmp",
                           "parkmarq.ini.x.1.tmp", "parkmarq.ini.bak"}) {
    app.Write(name, "/half");
  }
  app.Write(running, "/half");
  EXPECT_EQ(LoadDefaultOutputFolder(app.Str()), "/m/");
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(app.Path())) left.insert(entry.path().filename().string());
  EXPECT_EQ(left,
            (std::set<std::string>{"parkmarq.ini", "notes.tmp", "parkmarq.ini.x.1.tmp", "parkmarq.ini.bak", running}));
}

TEST(SettingsFile, AFolderWithALineBreakIsRefusedWithAMessageNamingTheFolderKept) {
  const std::tuple<const char*, const char*, const char*> rows[] = {
      {"/models/a\nb/", "/before/", "stays \"/before/\""},
      {"/models/a\rb/", "", "stays unset"},
      {"/models/a b;#=/", "/before/", nullptr},
  };
  for (const auto& [folder, current, says] : rows) {
    SCOPED_TRACE(folder);
    const auto message = UnstorableFolderMessage(folder, current);
    ASSERT_EQ(message.has_value(), says != nullptr);
    if (!message) continue;
    EXPECT_NE(message->find("line break"), std::string::npos) << *message;
    EXPECT_NE(message->find(says), std::string::npos) << *message;
  }
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
  // The next start removes what the killed saves left, and the next shut-down works.
  (void)LoadDefaultOutputFolder(app.Str());
  EXPECT_EQ(EntriesIn(app.Path()), 1);
  EXPECT_TRUE(SaveDefaultOutputFolder(app.Str(), "/m/"));
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "/m/\r\n");
}

}  // namespace
}  // namespace app
