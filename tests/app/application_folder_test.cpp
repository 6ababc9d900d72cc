#include "app/application_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>

#include "support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

TEST(ApplicationFolder, OnlyAWritableFolderThatIsNoInstalledCopyIsUsedItself) {
  testing_support::TempFolder program;
  const std::string user = "/home/u/.local/share";
  // What it is, writable, installed; only the first uses its own folder.
  for (const auto& [what, writable, installed] :
       {std::tuple{"build tree or unpacked folder", true, false}, {"folder of another user", false, false},
        {"installed, run by a user", false, true}, {"installed, run by root", true, true}}) {
    SCOPED_TRACE(what);
    fs::remove(program.Path() / kInstalledMarkerName);
    if (installed) program.Write(std::string(kInstalledMarkerName), "");
    const auto choice = ChooseApplicationFolder(program.Str(), writable, [&] { return user; });
    const bool own = writable && !installed;
    EXPECT_EQ(choice.folder, own ? program.Str() : user + "/parkmarq");
    EXPECT_EQ(choice.installedFolder, own ? "" : program.Str());
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
  EXPECT_NE(fs::status(user_.Path() / "tools/bglc_9.exe").permissions() & fs::perms::owner_exec, fs::perms::none);

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
  EXPECT_FALSE(UserHas("vgds_source/removed.vgp"));
  for (const auto& [name, content] :
       {std::pair{"vgds_source/kept.vgp", "v2"}, {"vgds_source/added.vgp", "v2"},
        {"vgds_source/edited.vgp", "the user's edit"}, {"vgds_source/clash.vgp", "the user's own before the first start"},
        {"vgds_source/mine.vgp", "the user's template"}, {"vgds_source/locked.vgp", "v1"},
        {"tools/bglc_9.exe", "compiler v2"}}) {
    EXPECT_EQ(User(name), content) << name;
  }

  user_.Write("tools/bglc_9.exe", "the real compiler");
  Install("tools/bglc_9.exe", "compiler v3");
  Copy();
  EXPECT_EQ(User("tools/bglc_9.exe"), "the real compiler");
}

}  // namespace
}  // namespace app
