// Where the save dialog proposes the model, and the report of a compiler that wrote no model file (an
// old model left as it was, and the short report, are the batch program's cases of the same report).
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/form1_logic_fixture.h"

namespace app {
namespace {

class Form1LogicBuildTest : public Form1LogicTest {
 protected:
  // One template, "Dock", using all four parameters, and a compiler of the given shell script body.
  void WriteAppFolder(const std::string& compiler = "exit 0") {
    app_.Write("vgds_source/dock.vgp", "1\r\n1\r\n1\r\n1\r\nDock\r\n\r\ndock.asm\r\nr\r\n");
    app_.Write("vgds_source/dock.asm", "include dock_0.asm\r\n");
    app_.Write("vgds_source/dock_0.asm", "stop dw STOP_DISTANCE\r\n");
    fs::permissions(app_.Write("tools/bglc_9.exe", "#!/bin/sh\n" + compiler + "\n"), fs::perms::owner_all);
  }
  // What the save dialog proposes, cancelled.
  std::string Proposed() {
    Start();
    view_.saveAnswers = {""};
    logic_->cmd_create_Click();
    EXPECT_EQ(view_.boxes, std::vector<std::string>{});
    const auto& request = view_.saveRequests.at(0);
    return request.substr(request.rfind('|') + 1);
  }
};

TEST_F(Form1LogicBuildTest, AnInstalledCopyWithoutADefaultFolderProposesTheModelInTheDocumentsFolder) {
  const testing_support::TempFolder home;
  WriteAppFolder();
  ::setenv("HOME", home.Str().c_str(), 1);
  ::unsetenv("XDG_CONFIG_HOME");
  const std::string name = "dock_h0_s20_l10.mdl";
  EXPECT_EQ(Proposed(), name) << "a copy in its own folder";
  const struct {
    const char* what;
    const char* marker;    // what makes the folder an installed copy's
    const char* userDirs;  // ~/.config/user-dirs.dirs; nullptr for none
    const char* folder;    // the folder below home created, if any
    std::string proposed;
  } cases[] = {
      {"the user folder of the Debian package, the XDG folder", ".installed-copies",
       "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n",
       "Papers", home.Str() + "/Papers/" + name},
      {"an XDG folder that does not exist", ".installed-copies", "XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n", "Documents",
       home.Str() + "/Documents/" + name},
      {"the folder of the Windows installer, no XDG folder", "uninstall.exe", nullptr, nullptr,
       home.Str() + "/" + name},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(home.Path());
    fs::create_directory(home.Path());
    if (c.userDirs) home.Write(".config/user-dirs.dirs", c.userDirs);
    if (c.folder) fs::create_directory(home.Path() / c.folder);
    const auto marker = app_.Write(c.marker, "");
    EXPECT_EQ(Proposed(), c.proposed);
    fs::remove(marker);
  }
  app_.Write("uninstall.exe", "");
  app_.Write("models/keep", "");
  app_.Write("parkmarq.ini", app_.Str() + "/models/\r\n");  // a default output folder wins
  EXPECT_EQ(Proposed(), app_.Str() + "/models/" + name);
}

TEST_F(Form1LogicBuildTest, OneBoxWithTheLastWholeLinesWhenTheCompilerWroteNoModel) {
  const std::string model = (app_.Path() / "dock_h0_s20_l10.mdl").string();
  const std::string log = app_.Str() + "/tools/compile.log";
  const std::string longLine(300, 'x');  // longer than one read of the compiler's output
  const std::string box = "Parkmarq error|The compiler wrote no model file:\n" + model;
  std::string last19;
  for (int i = 6; i <= 24; ++i) last19 += "\nerror " + std::to_string(i);
  const struct {
    const char* what;
    std::string compiler;  // $2 is the model
    bool staleModel;       // a model of an earlier build is there, an hour old
    std::vector<std::string> boxes;
  } cases[] = {
      {"a model written", "echo compiled; echo model > \"$2\"", true, {}},
      {"more than twenty lines, the last one long",
       "i=1; while [ $i -le 24 ]; do echo \"error $i\"; i=$((i+1)); done; echo " + longLine,
       false,
       {box + "\nThe last 20 lines it printed:" + last19 + "\n" + longLine + "\nThe whole output is in " + log + "."}},
      {"nothing printed", "exit 3", false, {box + "\nIt printed nothing."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(model);
    if (c.staleModel) {
      app_.Write("dock_h0_s20_l10.mdl", "old");
      fs::last_write_time(model, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    WriteAppFolder(c.compiler);
    Start();
    view_.saveAnswers = {model};
    logic_->cmd_create_Click();
    EXPECT_EQ(view_.boxes, c.boxes);
  }
}

}  // namespace
}  // namespace app
