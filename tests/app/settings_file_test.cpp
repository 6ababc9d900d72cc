#include "app/settings_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing_support::EntriesIn;
using testing_support::ReadAll;

TEST(SettingsFile, LoadsTheFirstLineAsItIsAndSavesWithCrLf) {
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
  EXPECT_EQ(UnstorableFolderMessage("/models/a b;#=/", "/before/"), std::nullopt);
  for (const auto& [folder, current, says] :
       {std::tuple{"/models/a\nb/", "/before/", "stays \"/before/\"."}, {"/models/a\rb/", "", "stays unset."}}) {
    const auto message = UnstorableFolderMessage(folder, current).value_or("");
    EXPECT_NE(message.find("line break"), std::string::npos) << message;
    EXPECT_NE(message.find(says), std::string::npos) << message;
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
}

}  // namespace
}  // namespace app
