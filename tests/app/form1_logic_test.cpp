// The window's toolkit-free part through a view that records what it is told and answers its dialogs
// from a script; the toolkits' own suites test only what each toolkit adds.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/form1_logic_fixture.h"
#include "platform/folder_lock.h"
#include "platform/path.h"
#include "platform/window_messages.h"
#include "support/link_server_process.h"
#include "support/unique_namespace.h"

namespace app {
namespace {

TEST_F(Form1LogicTest, StartUpShowsTheFirstTemplateAndTheSavedFolderAndSelectionKeepsTypedValues) {
  testing_support::AddTemplate(app_, "a", testing_support::kHeadingAndVisibility, "First", "pictures\\a.png",
                               "line one\r\n");
  testing_support::AddTemplate(app_, "b", testing_support::kNoParameters, "Second", "");
  app_.Write("parkmarq.ini", " /models/stands \r\nsecond line\r\n");
  Form1Logic& logic = Start();
  ASSERT_EQ(view_.list, logic.TemplateCatalogue().ListNames());
  ASSERT_EQ(view_.list.size(), 2U);
  // Enabled states and texts of the four fields, in parameter order.
  const auto states = [this] {
    std::string shown;
    for (const auto parameter : catalogue::kParameters) {
      const bool enabled = view_.fields[parameter].enabled;
      shown += (enabled != view_.labels[parameter].enabled ? "label differs " : "") + std::string(enabled ? "+" : "-") +
               view_.fields[parameter].text + " ";
    }
    return shown;
  };
  const struct {
    const char* name;
    const char* picture;
    const char* description;
    const char* fields;
  } steps[] = {
      // A picture path written on Windows names the sub-folder on every system.
      {"First", "pictures", "line one\r\n", "+0 -20 +500 -10 "},
      {"Second", nullptr, "", "-33.5 -20 -500 -10 "},  // no picture file clears the box
      {"First", "pictures", "line one\r\n", "+33.5 -20 +500 -10 "},
  };
  EXPECT_EQ(view_.selected, 0);  // the first in the file system's order, shown
  EXPECT_EQ(view_.description, view_.list[0] == "First" ? "line one\r\n" : "");
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    Select(step.name);
    EXPECT_EQ(view_.picture,
              step.picture ? platform::JoinPath(platform::JoinPath(platform::JoinPath(app_.Str(), "vgds_source"), step.picture), "a.png") : "");
    EXPECT_EQ(view_.description, step.description);
    EXPECT_EQ(states(), step.fields);
    view_.fields[Parameter::Heading].text = "33.5";
  }
  EXPECT_EQ(logic.DefaultOutputFolder(), " /models/stands ");  // the first line as it is
  EXPECT_EQ(view_.toolTip, " /models/stands ");
  logic.ReportStartUpFailures();
  logic.ReportSkippedTemplates();
  EXPECT_EQ(view_.boxes, std::vector<std::string>{});
}

// What start-up cannot read waits until the window is open, then shows in one box each; the window
// opens with the rest, and without its folder the program writes no settings anywhere.
TEST_F(Form1LogicTest, StartUpFailuresAndBrokenDescriptorsAreReportedOnceTheWindowIsOpen) {
  app_.Write("vgds_source/short.vgp", "True\r\n");
  app_.Write("vgds_source/escape.vgp", "1\r\n1\r\n1\r\n1\r\nEscape\r\npic.png\r\n../../etc/x.asm\r\nr\r\n");
  app_.Write("parkmarq.ini", "/models/");
  const struct {
    const char* name;
    bool folderFound;
    const char* startUpReport;
  } cases[] = {
      {"only broken descriptors", true, nullptr},
      {"program's folder not found", false, "parkmarq|Finding the program's folder failed.\n\nno folder"},
      {"template folder is a looping link", true, "parkmarq|Loading the templates failed."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.startUpReport != nullptr && c.folderFound) {
      // Only POSIX makes such a link.
      if (platform::kPathSeparator != '/') continue;
      fs::remove_all(app_.Path() / "vgds_source");
      fs::create_directory_symlink("vgds_source", app_.Path() / "vgds_source");
    }
    Form1Logic& logic = Start([&]() -> std::string {
      if (!c.folderFound) throw std::runtime_error("no folder");
      return app_.Str();
    });
    EXPECT_EQ(view_.selected, -1);
    EXPECT_EQ(view_.list, std::vector<std::string>{});
    for (const auto& field : view_.fields.fields) EXPECT_FALSE(field.enabled);
    EXPECT_EQ(logic.DefaultOutputFolder(), c.folderFound ? "/models/" : "");
    EXPECT_EQ(view_.boxes, std::vector<std::string>{});
    logic.ReportStartUpFailures();
    logic.ReportSkippedTemplates();
    ASSERT_EQ(view_.boxes.size(), 1U);
    EXPECT_TRUE(view_.boxes[0].starts_with(c.startUpReport ? c.startUpReport : "parkmarq|")) << view_.boxes[0];
    const bool skipped = c.startUpReport == nullptr;
    EXPECT_EQ(view_.boxes[0].find("short.vgp: it has 1 line,") != std::string::npos, skipped) << view_.boxes[0];
    EXPECT_EQ(view_.boxes[0].find("\nescape.vgp: ") != std::string::npos, skipped) << view_.boxes[0];
    EXPECT_TRUE(logic.Unload());
    EXPECT_EQ(Settings(), "/models/\r\n");
    EXPECT_FALSE(fs::exists("/parkmarq.ini"));  // where the file would go without the program's folder
  }
}

TEST_F(Form1LogicTest, TheFolderBrowserSetsTheDefaultFolderWhichShutDownSaves) {
  Form1Logic& logic = Start();
  EXPECT_EQ(view_.toolTip, "");
  EXPECT_TRUE(logic.Unload());
  EXPECT_EQ(Settings(), "\r\n");  // first run: nothing chosen, an empty line
  const std::string sep(1, platform::kPathSeparator);
  const struct {
    std::string chosen;
    std::string folder;
    const char* refusal;  // part of the box's text; nullptr when the choice is taken
  } choices[] = {
      {sep + "models" + sep + "airport", sep + "models" + sep + "airport" + sep, nullptr},
      {sep, sep, nullptr},  // the root keeps its single separator
      {"", "", nullptr},    // cancelling clears the folder and the tool tip
      {sep + "stands" + sep, sep + "stands" + sep, nullptr},
      {sep + "a\nb", sep + "stands" + sep, "line break"},  // which the one-line file cannot keep
  };
  for (const auto& choice : choices) {
    SCOPED_TRACE(choice.chosen);
    view_.boxes.clear();
    view_.folderAnswers = {choice.chosen};
    logic.cmd_set_folder_Click();
    EXPECT_EQ(logic.DefaultOutputFolder(), choice.folder);
    EXPECT_EQ(view_.toolTip, choice.folder);
    ASSERT_EQ(view_.boxes.size(), choice.refusal ? 1U : 0U);
    EXPECT_TRUE(!choice.refusal || view_.boxes[0].find(choice.refusal) != std::string::npos) << view_.boxes[0];
  }
  EXPECT_EQ(view_.folderTitles.back(), "Choose a directory from the list.");
  EXPECT_TRUE(logic.Unload());
  EXPECT_EQ(Settings(), sep + "stands" + sep + "\r\n");
  Start();
  EXPECT_EQ(view_.toolTip, sep + "stands" + sep);
}

// Refusals and failures end the build each in its own box (the build's own suite has every step); a
// build that works names the model in the default folder, shows "Compiling ..." before the compiler
// starts and logs what it printed.
TEST_F(Form1LogicTest, CreateNewMdlRefusesBuildsAndReportsWhatStoppedIt) {
  UseBuiltApplicationFolder();
  app_.Write("parkmarq.ini", (app_.Path() / "models").string() + platform::kPathSeparator + "\r\n");
  fs::create_directory(app_.Path() / "models");
  Form1Logic& logic = Start();
  Select("Guidance display (all parameters)");
  const std::string model = (app_.Path() / "models" / "guidance_display_h90_s0_l-1.mdl").string();
  view_.fields[Parameter::StopDistance].text = "0.5";
  view_.fields[Parameter::LateralDistance].text = "-1";

  auto held = platform::FolderLock::Try((app_.Path() / "tools").string());
  logic.cmd_create_Click();
  EXPECT_EQ(view_.boxes.size(), 1U);
  EXPECT_TRUE(view_.boxes.back().starts_with("parkmarq|Creating the MDL file failed.\n\nAnother build is running"))
      << view_.boxes.back();
  held.reset();
  view_.fields[Parameter::Heading].text = "361";
  logic.cmd_create_Click();
  EXPECT_EQ(view_.boxes.back(), "Parkmarq error|Please enter a heading between 0 and 360 degrees");

  view_.fields[Parameter::Heading].text = "90";
  view_.saveAnswers = {model};
  logic.cmd_create_Click();
  EXPECT_EQ(view_.boxes.size(), 2U);
  EXPECT_EQ(view_.saveRequests.back(), "Select output MDL file|MDL file (*.mdl)|*.mdl||" + model);
  EXPECT_EQ(ReadAll(model).substr(0, 4), "RIFF") << ReadAll(Tools("compile.log"));
  EXPECT_EQ(view_.paintedCaptions.at(0), build::kCompilingCaption);
  EXPECT_EQ(view_.caption, build::kCreateCaption);
  const std::string log = ReadAll(Tools("compile.log"));
  EXPECT_NE(log.find(model), std::string::npos) << log;
  EXPECT_TRUE(log.ends_with("\r\n\r\n")) << "the runner's final empty chunk adds an empty line";
}

// The window is kept painted while the compiler runs, no more often than a screen can show however
// much the compiler prints; a second build is refused meanwhile and a close waits for the build's end.
TEST_F(Form1LogicTest, WhileTheCompilerRunsTheWindowIsPaintedAtAPaceAndOnlyClosesAfterwards) {
  UseBuiltApplicationFolder();
  fs::remove(Tools("bglc_9.exe"));
  // The child helper prints on and on, the way a compiler reporting every line of a large source does.
  fs::copy_file(RUNNER_CHILD_PATH, Tools("bglc_9.exe"));
  Form1Logic& logic = Start();
  Select("Fixed display (no parameters)");
  view_.saveAnswers = {(app_.Path() / "fixed.mdl").string()};
  view_.whilePainted = [&] {
    logic.cmd_create_Click();
    EXPECT_FALSE(logic.Unload());
  };
  const auto start = std::chrono::steady_clock::now();
  logic.cmd_create_Click();
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_GT(ReadAll(Tools("compile.log")).size(), 4'000'000U);
  EXPECT_EQ(view_.saveRequests.size(), 1U);
  EXPECT_EQ(view_.paintedCaptions.at(0), build::kCompilingCaption);
  // At most one repaint each 15 ms, the caption's own and the last one besides.
  EXPECT_LE(static_cast<long long>(view_.paintedCaptions.size()), took.count() / 15 + 3);
  EXPECT_EQ(view_.closes, 1);
  EXPECT_EQ(closedBy_, true);
  EXPECT_EQ(Settings(), "\r\n");
  // This compiler writes no model: said once, after the build.
  ASSERT_EQ(view_.boxes.size(), 1U);
  EXPECT_TRUE(view_.boxes[0].starts_with("Parkmarq error|The compiler wrote no model file:")) << view_.boxes[0];
}

// "FS" writes the link server's heading, also into a disabled field; without a server nothing changes,
// and a reply that breaks the protocol is reported naming the link.
TEST_F(Form1LogicTest, FsWritesTheServersHeadingOrChangesNothing) {
  const std::string prefix = testing_support::UniqueNamespace();
  platform::SetWindowMessagesForTesting(prefix, std::chrono::milliseconds(1500));
  testing_support::AddTemplate(app_, "a", testing_support::kNoParameters, "Fixed");
  Form1Logic& logic = Start();
  const struct {
    const char* name;
    std::vector<std::string> server;  // its options; none for no server at all
    const char* heading;              // what the field holds afterwards, "42" before
    const char* box;
  } cases[] = {
      {"no server", {}, "42", nullptr},
      {"the heading", {"--var", "86=123.4565"}, " 123.456", nullptr},  // single precision, then half to even
      {"a malformed reply", {"--reply", "ZZ"}, "42", "parkmarq|Reading the heading from the simulator link failed."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    view_.fields[Parameter::Heading].text = "42";
    std::optional<testing_support::LinkServerProcess> server;
    if (!c.server.empty()) server.emplace(prefix, c.server);
    view_.boxes.clear();
    logic.cmd_heading_fs_Click();
    EXPECT_FALSE(view_.fields[Parameter::Heading].enabled);
    EXPECT_EQ(view_.fields[Parameter::Heading].text, c.heading);
    ASSERT_EQ(view_.boxes.size(), c.box ? 1U : 0U);
    EXPECT_TRUE(!c.box || view_.boxes[0].starts_with(c.box)) << view_.boxes[0];
  }
  platform::SetWindowMessagesForTesting("");
}

}  // namespace
}  // namespace app
