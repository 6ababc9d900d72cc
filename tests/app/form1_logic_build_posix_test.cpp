// The window's logic around a build: where the save dialog proposes the model, and the report of a
// compiler that wrote no model file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/form1_logic.h"
#include "app/form1_view.h"
#include "helpers/process_probe.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// The window, recording its message boxes; its save dialog confirms outputPath.
class RecordingView final : public app::Form1View {
 public:
  std::string outputPath;
  std::vector<std::string> boxes;  // "title | text"
  std::vector<std::string> proposed;

  [[nodiscard]] int SelectedListIndex() const override { return 0; }
  void ShowPicture(const std::string&) override {}
  void ShowDescription(const std::string&) override {}
  void SetLabelEnabled(catalogue::Parameter, bool) override {}
  void SetFieldEnabled(catalogue::Parameter, bool) override {}
  void AddListItem(const std::string&) override {}
  void SelectListItem(int) override {}
  [[nodiscard]] build::ParameterField Field(catalogue::Parameter parameter) const override {
    return {std::string(catalogue::InitialText(parameter)), true};
  }
  void SetFieldText(catalogue::Parameter, const std::string&) override {}
  void SetCreateCaption(const std::string&) override {}
  void SetFolderToolTip(const std::string&) override {}
  void KeepPainted() override {}
  void Close() override {}
  void ShowCritical(const std::string& title, const std::string& text) override {
    boxes.push_back(title + " | " + text);
  }
  [[nodiscard]] std::string SaveFileName(const std::string&, const std::string&,
                                         const std::string& initialName) override {
    proposed.push_back(initialName);
    return outputPath;
  }
  [[nodiscard]] std::string ChooseFolder(const std::string&) override { return {}; }
};

// An application folder with one template, "Dock", using all four parameters, and a compiler.
void WriteAppFolder(const testing_support::TempFolder& temp, const std::string& compiler = "exit 0") {
  temp.Write("vgds_source/dock.vgp", "1\r\n1\r\n1\r\n1\r\nDock\r\n\r\ndock.asm\r\nr\r\n");
  temp.Write("vgds_source/dock.asm", "include dock_0.asm\r\n");
  temp.Write("vgds_source/dock_0.asm", "stop dw STOP_DISTANCE\r\n");
  const auto path = temp.Write("tools/bglc_9.exe", "#!/bin/sh\n" + compiler + "\n");
  fs::permissions(path, fs::perms::owner_all);
}

// Proposes a model as the window would, the dialog cancelled; the name it proposed.
std::string Proposed(const std::string& appFolder) {
  RecordingView view;
  app::Form1Logic logic(view, appFolder, build::NumberLocale{".", ","});
  logic.Load();
  logic.cmd_create_Click();
  EXPECT_EQ(view.boxes, std::vector<std::string>{});
  return view.proposed.empty() ? "(no dialog)" : view.proposed.front();
}

TEST(Form1LogicProposal, AnInstalledCopyWithoutADefaultFolderProposesTheModelInTheDocumentsFolder) {
  const testing_support::TempFolder home;
  const testing_support::TempFolder app;
  WriteAppFolder(app);
  ::setenv("HOME", home.Str().c_str(), 1);
  ::unsetenv("XDG_CONFIG_HOME");
  const std::string name = "dock_h0_s20_l10.mdl";
  EXPECT_EQ(Proposed(app.Str()), name) << "a copy in its own folder";
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
    const auto marker = app.Write(c.marker, "");
    EXPECT_EQ(Proposed(app.Str()), c.proposed);
    app.Write("models/keep", "");
    app.Write("parkmarq.ini", app.Str() + "/models/\r\n");  // a default output folder wins
    EXPECT_EQ(Proposed(app.Str()), app.Str() + "/models/" + name);
    fs::remove(app.Path() / "parkmarq.ini");
    fs::remove(marker);
  }
}

std::string Lines(int from, int to) {
  std::string lines;
  for (int i = from; i <= to; ++i) lines += "\nerror " + std::to_string(i);
  return lines;
}

TEST(Form1LogicMissingModel, OneBoxWithTheLastWholeLinesWhenTheCompilerWroteNoModel) {
  const test_helpers::Watchdog watchdog(std::chrono::seconds(60));
  const testing_support::TempFolder temp;
  const std::string app = temp.Str();
  const std::string model = (temp.Path() / "dock_h0_s20_l10.mdl").string();
  const std::string log = app + "/tools/compile.log";
  const std::string longLine(300, 'x');  // longer than one read of the compiler's output

  const struct {
    const char* what;
    std::string compiler;  // the body of a shell script: $2 is the model
    bool staleModel;       // a model of an earlier build is there, an hour old
    std::vector<std::string> boxes;
  } cases[] = {
      {"a model written", "echo compiled; echo model > \"$2\"", true, {}},
      {"more than twenty lines, the last one long",
       "i=1; while [ $i -le 24 ]; do echo \"error $i\"; i=$((i+1)); done; echo " + longLine,
       false,
       {"Parkmarq error | The compiler wrote no model file:\n" + model +
        "\nThe last 20 lines it printed:" + Lines(6, 24) + "\n" + longLine + "\nThe whole output is in " + log + "."}},
      {"an old model left as it was",
       "echo 'error 1' >&2",
       true,
       {"Parkmarq error | The compiler wrote no model file:\n" + model + "\nIt printed:\nerror 1\n" +
        "The whole output is in " + log + "."}},
      {"nothing printed",
       "exit 3",
       false,
       {"Parkmarq error | The compiler wrote no model file:\n" + model + "\nIt printed nothing."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(model);
    if (c.staleModel) {
      temp.Write("dock_h0_s20_l10.mdl", "old");
      fs::last_write_time(model, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    WriteAppFolder(temp, c.compiler);
    RecordingView view;
    view.outputPath = model;
    app::Form1Logic logic(view, app, build::NumberLocale{".", ","});
    logic.Load();
    logic.cmd_create_Click();
    EXPECT_EQ(view.boxes, c.boxes);
  }
}

}  // namespace
