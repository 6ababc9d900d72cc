#include "app/application_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

TEST(ApplicationFolder, OnlyAWritableFolderThatIsNoInstalledCopyIsUsedItself) {
  testing_support::TempFolder program;
  const std::string user = "/home/u/.local/share";
  struct Row {
    const char* name;
    bool writable;
    bool installed;
    bool usesUserFolder;
  };
  for (const auto& row :
       {Row{"build tree or unpacked folder", true, false, false}, Row{"folder of another user", false, false, true},
        Row{"installed, run by a user", false, true, true}, Row{"installed, run by root", true, true, true}}) {
    SCOPED_TRACE(row.name);
    fs::remove(program.Path() / kInstalledMarkerName);
    if (row.installed) program.Write(std::string(kInstalledMarkerName), "");
    const auto choice = ChooseApplicationFolder(program.Str(), row.writable, [&] { return user; });
    EXPECT_EQ(choice.folder, row.usesUserFolder ? user + "/parkmarq" : program.Str());
    EXPECT_EQ(choice.installedFolder, row.usesUserFolder ? program.Str() : "");
  }
}

// An installed folder (version 1, then 2) and the user's folder that CopyInstalledFiles keeps.
class InstalledCopies : public ::testing::Test {
 protected:
  void Install(const std::string& name, const std::string& content) const { installed_.Write(name, content); }
  void Copy() const { CopyInstalledFiles(installed_.Str(), user_.Str()); }
  [[nodiscard]] std::string User(const std::string& name) const { return ReadAll(user_.Path() / name); }
  [[nodiscard]] bool UserHas(const std::string& name) const { return fs::exists(user_.Path() / name); }

  testing_support::TempFolder installed_;
  testing_support::TempFolder user_;
};

TEST_F(InstalledCopies, NewAndUnchangedFilesFollowTheInstallationWhileTheUsersOwnStay) {
  for (const char* name : {"kept.vgp", "edited.vgp", "removed.vgp", "clash.vgp", "locked.vgp"})
    Install("vgds_source/" + std::string(name), "v1");
  Install("tools/bglc_9.exe", "compiler v1");
  Install("tools/compile.log", "a build that ran in the installed folder");
  user_.Write("vgds_source/clash.vgp", "the user's own before the first start");
  Copy();
  EXPECT_EQ(User("vgds_source/kept.vgp"), "v1");
  EXPECT_EQ(User("tools/bglc_9.exe"), "compiler v1");
  EXPECT_FALSE(UserHas("tools/compile.log"));
  struct stat compiler {};
  ASSERT_EQ(::stat((user_.Path() / "tools/bglc_9.exe").c_str(), &compiler), 0);
  EXPECT_TRUE(compiler.st_mode & S_IXUSR);

  user_.Write("vgds_source/edited.vgp", "the user's edit");
  fs::remove(user_.Path() / "vgds_source/removed.vgp");
  user_.Write("vgds_source/mine.vgp", "the user's template");
  fs::permissions(user_.Path() / "vgds_source/locked.vgp",
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
  Copy();  // a second start with nothing new changes nothing
  EXPECT_FALSE(UserHas("vgds_source/removed.vgp"));

  for (const char* name : {"kept.vgp", "edited.vgp", "removed.vgp", "clash.vgp", "locked.vgp", "added.vgp"})
    Install("vgds_source/" + std::string(name), "v2");
  Install("tools/bglc_9.exe", "compiler v2");
  Copy();
  struct Expected {
    const char* name;
    const char* content;  // nullptr: no such file
  };
  for (const auto& [name, content] :
       {Expected{"vgds_source/kept.vgp", "v2"}, Expected{"vgds_source/added.vgp", "v2"},
        Expected{"vgds_source/edited.vgp", "the user's edit"}, Expected{"vgds_source/removed.vgp", nullptr},
        Expected{"vgds_source/clash.vgp", "the user's own before the first start"},
        Expected{"vgds_source/mine.vgp", "the user's template"}, Expected{"vgds_source/locked.vgp", "v1"},
        Expected{"tools/bglc_9.exe", "compiler v2"}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(UserHas(name), content != nullptr);
    if (content != nullptr) {
      EXPECT_EQ(User(name), content);
    }
  }

  user_.Write("tools/bglc_9.exe", "the real compiler");
  Install("tools/bglc_9.exe", "compiler v3");
  Copy();
  EXPECT_EQ(User("tools/bglc_9.exe"), "the real compiler");
}

}  // namespace
}  // namespace app
