// parkmarq-batch as a user runs it: from an application folder of its own, with its exit status.
#ifdef PARKMARQ_BATCH_EXE

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "build/batch_build.h"
#include "build/build_fixture.h"
#include "platform/folder_lock.h"
#include "programs/run_program.h"

namespace {

namespace fs = std::filesystem;
using programs_test::RunProgram;
using testing_support::ReadAll;

const std::string kHeader = "stand,template,heading,stop,visibility,lateral";

// A copy of the built application folder (the program, the compiler, the demo templates, one whose
// main source does not assemble and one whose sources are missing), and a folder for the tables and
// models holding good.csv and out/sub/.
class BatchProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path built = fs::path(PARKMARQ_BATCH_EXE).parent_path();
    fs::copy_file(PARKMARQ_BATCH_EXE, app_.Path() / "parkmarq-batch");
    fs::create_directories(app_.Path() / "tools");
    fs::copy_file(built / "tools" / "bglc_9.exe", app_.Path() / "tools" / "bglc_9.exe");
    fs::copy(built / "vgds_source", app_.Path() / "vgds_source", fs::copy_options::recursive);
    app_.Write("vgds_source/broken.vgp", "True\nTrue\nTrue\nTrue\nBroken dock\nbroken.png\nbroken.asm\n\n");
    app_.Write("vgds_source/broken.asm", "        include broken_0.asm\n        bogus   1\n");
    fs::copy_file(built / "vgds_source" / "lateral_bars_0.asm", app_.Path() / "vgds_source" / "broken_0.asm");
    app_.Write("vgds_source/missing.vgp", "0\n0\n0\n0\nMissing dock\nmissing.png\nmissing.asm\n\n");
    work_.Write("good.csv", kHeader + "\nA1,Docking display T1 (all parameters),90,20,500,10\n" +
                                "A2,Nose-in sign (heading only),180,,,\n");
    fs::create_directories(work_.Path() / "out" / "sub");
  }

  [[nodiscard]] std::string Program() const { return (app_.Path() / "parkmarq-batch").string(); }
  [[nodiscard]] std::string Work(const std::string& name) const { return (work_.Path() / name).string(); }

  // What the window's button writes for the template and the field texts the window shows.
  [[nodiscard]] std::string WindowModel(const std::string& templateName, const std::vector<std::string>& texts) {
    const auto catalogue = catalogue::LoadTemplateCatalogue(app_.Str()).catalogue;
    const auto names = catalogue.ListNames();
    build_test::ScriptedHost window;
    window.listIndex = static_cast<int>(std::find(names.begin(), names.end(), templateName) - names.begin());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const auto parameter = catalogue::kParameters.at(i);
      window.fields[parameter] = {texts[i], catalogue.EntryForListIndex(window.listIndex).Uses(parameter)};
    }
    window.saveAnswer = Work("window.mdl");
    build_test::RecordingMessages messages;
    runner::DOSOutputs objDOS(messages);
    build::CompileLog log;
    objDOS.ConnectReceiveOutputs([&log](std::string& chunk) { log.Append(chunk); });
    EXPECT_EQ(build::RunBuildSequence(window, {catalogue, app_.Str(), "", build::kInvariantLocale, objDOS, log}),
              build::BuildOutcome::Compiled);
    EXPECT_TRUE(window.validationErrors.empty() && messages.shown.empty()) << templateName;
    const std::string model = ReadAll(window.saveAnswer);
    fs::remove(window.saveAnswer);
    return model;
  }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(90)};
  testing_support::TempFolder app_;
  testing_support::TempFolder work_;
};

TEST_F(BatchProgramTest, GoodRowsBuildTheWindowsModelsAndBadRowsSayWhy) {
  work_.Write("mixed.csv",
              "stand;template;heading;stop;visibility;lateral;output\n"
              "A1;Docking display T1 (all parameters);123.456;20;500;10;\n"
              "A2;Docking display T1 (all parameters);400;20;500;10;\n"
              "A3;Docking display T9;1;2;3;4;\n"
              "A4;Broken dock;90;20;500;10;\n"
              "A5;Lateral bars (stop and lateral distance);;0;;-3;\n"
              "A6;Nose-in sign (heading only);270;;;;\n"
              "A7;Fixed display (no parameters);;;;;out/sub/fixed.mdl\n"
              "A8;Docking display T1 (all parameters);123.456;20;0;10;\n"
              "A9;Lateral bars (stop and lateral distance);;20;;-3.5;;extra\n"
              ";Missing dock;;;;;\n"
              "A11;Docking display T1 (all parameters);123.456;20;500;10;\n"
              "A12;Gate sign (eight-line descriptor);45;30;;0;\n"
              "A13;Nose-in sign (heading only);\"1,500\";;;;\n");
  // Models left from an earlier run: one the batch builds again, one whose compile fails.
  work_.Write("out/safedock_t1_h123.46_s20_l10.mdl", "stale");
  work_.Write("out/broken_h90_s20_l10.mdl", "stale");
  const auto run = RunProgram(Program(), {"mixed.csv", "--out", "out/"}, work_.Str());
  EXPECT_EQ(run.exitStatus, 1);
  const std::string app = app_.Str();
  EXPECT_EQ(run.output,
            "[1/13] A1 ... built out/safedock_t1_h123.46_s20_l10.mdl\n"
            "[2/13] A2 (line 3) ... failed: Please enter a heading between 0 and 360 degrees\n"
            "[3/13] A3 (line 4) ... failed: unknown template \"Docking display T9\" (--list shows the templates)\n"
            "[4/13] A4 (line 5) ... failed: the compiler wrote no model file; it printed:\n    " +
                app + "/tools/broken.asm(2): error: unknown directive \"bogus\"\n" +
                "    bglc_9: 1 error(s); no model written\n"
                "[5/13] A5 (line 6) ... failed: Please enter a stop distance greater than 0 meters\n"
                "[6/13] A6 ... built out/nose_in_h270.mdl\n"
                "[7/13] A7 ... built out/sub/fixed.mdl\n"
                "[8/13] A8 (line 9) ... failed: its model file out/safedock_t1_h123.46_s20_l10.mdl would replace the "
                "one row 1 (A1) built from other values; give the row an output of its own\n"
                "[9/13] A9 (line 10) ... failed: the row has 8 fields, the header has 7\n"
                "[10/13] (no stand label) (line 11) ... failed: Could not copy the template source \"" +
                app + "/vgds_source/missing.asm\" to the tools folder \"" + app +
                "/tools\": No such file or directory\n"
                "[11/13] A11 ... built out/safedock_t1_h123.46_s20_l10.mdl\n"
                "[12/13] A12 (line 13) ... failed: Please enter a lateral distance greater than 0 meters\n"
                // grouped digits mean nothing in a table
                "[13/13] A13 (line 14) ... failed: Please enter a heading between 0 and 360 degrees\n"
                "13 stands: 4 built, 9 failed (rows 2, 3, 4, 5, 8, 9, 10, 12, 13)\n");

  // Fields the template does not use and the row leaves empty hold what the window starts with.
  EXPECT_EQ(ReadAll(Work("out/safedock_t1_h123.46_s20_l10.mdl")),
            WindowModel("Docking display T1 (all parameters)", {"123.456", "20", "500", "10"}));
  EXPECT_EQ(ReadAll(Work("out/nose_in_h270.mdl")),
            WindowModel("Nose-in sign (heading only)", {"270", "20", "500", "10"}));
  EXPECT_EQ(ReadAll(Work("out/sub/fixed.mdl")), WindowModel("Fixed display (no parameters)", {"0", "20", "500", "10"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(Work("out")), fs::directory_iterator()), 3)
      << "two models and the sub-folder: a failed compile must not leave the old model";
}

TEST_F(BatchProgramTest, WhatStopsABatchBeforeItsFirstRow) {
  work_.Write("columns.csv", "stand,template,heading\nA1,x,1\n");
  app_.Write("parkmarq.ini", Work("gone") + "\r\n");
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    int exitStatus;
    std::string says;
  } cases[] = {
      {"help", {"--help"}, 0, "Usage: parkmarq-batch STANDS [--out DIR]"},
      {"nothing to do", {}, 2, "parkmarq-batch: no stand table given"},
      {"unknown option", {"--fast", Work("good.csv")}, 2, "parkmarq-batch: unknown option --fast"},
      {"list with a table", {"--list", Work("good.csv")}, 2, "--list takes nothing else"},
      {"missing table", {Work("none.csv")}, 2, "cannot read the stand table: "},
      {"missing columns", {Work("columns.csv")}, 2, "line 1: the header has no column \"stop\""},
      {"missing output folder", {Work("good.csv"), "--out", Work("nowhere")}, 2, "is no existing folder"},
      {"remembered folder gone",
       {Work("good.csv")},
       2,
       "the default output folder in parkmarq.ini, \"" + Work("gone") + "\", is no existing folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = RunProgram(Program(), c.arguments);
    EXPECT_EQ(run.exitStatus, c.exitStatus) << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
  }
}

// In the window's list order, each with the columns it uses.
TEST_F(BatchProgramTest, ListsTheTemplatesOfTheWindow) {
  const auto run = RunProgram(Program(), {"--list"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.output, build::CatalogueListing(catalogue::LoadTemplateCatalogue(app_.Str()).catalogue));
  catalogue::TemplateCatalogue catalogue;
  catalogue.Add({true, false, true, false, "Dock", "", "dock.asm", "", ""});
  catalogue.Add({false, false, false, false, "A sign with a long name", "", "sign.asm", "", ""});
  catalogue.Add({false, true, false, true, "Bars", "", "bars.asm", "", ""});
  EXPECT_EQ(build::CatalogueListing(catalogue),
            "  1  Dock                     heading, visibility\n"
            "  2  A sign with a long name  (no parameters)\n"
            "  3  Bars                     stop, lateral\n");
}

// A row's own output is read from the table's folder; the others go to --out (tested above), else to
// the folder remembered in parkmarq.ini, else to the current folder.
TEST_F(BatchProgramTest, WhereModelsGo) {
  work_.Write("tables/t.csv", kHeader + ",output\n" +
                                  "A1,Docking display T1 (all parameters),90,20,500,10,models/a1.mdl\n"
                                  "A2,Nose-in sign (heading only),180,,,,\n");
  fs::create_directories(work_.Path() / "tables" / "models");
  app_.Write("parkmarq.ini", Work("out") + "\r\n");
  const auto remembered = RunProgram(Program(), {Work("tables/t.csv")});
  fs::remove(app_.Path() / "parkmarq.ini");
  const auto current = RunProgram(Program(), {"tables/t.csv"}, work_.Str());
  for (const auto* run : {&remembered, &current}) {
    EXPECT_EQ(run->exitStatus, 0) << run->output;  // 1 if a1.mdl went anywhere but tables/models
  }
  EXPECT_TRUE(fs::exists(Work("tables/models/a1.mdl")));
  EXPECT_TRUE(fs::exists(Work("out/nose_in_h180.mdl")));
  EXPECT_TRUE(fs::exists(Work("nose_in_h180.mdl")));
}

TEST_F(BatchProgramTest, WaitsWhileAnotherBuildHoldsTheToolsFolder) {
  std::optional<platform::FolderLock> windowBuild = platform::FolderLock::Wait((app_.Path() / "tools").string());
  std::atomic<bool> ended = false;
  programs_test::ProgramRun run;
  std::thread batch([&] {
    run = RunProgram(Program(), {Work("good.csv"), "--out", Work("out")});
    ended = true;
  });
  // A row takes a few milliseconds once it has the folder; half a second without one is waiting.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_FALSE(ended);
  EXPECT_FALSE(fs::exists(Work("out/safedock_t1_h90_s20_l10.mdl")));
  EXPECT_FALSE(fs::exists(app_.Path() / "tools" / "safedock_t1.asm")) << "it touched the working files";
  windowBuild.reset();
  batch.join();
  EXPECT_EQ(run.exitStatus, 0) << run.output;
  EXPECT_TRUE(fs::exists(Work("out/safedock_t1_h90_s20_l10.mdl")));
  EXPECT_TRUE(fs::exists(Work("out/nose_in_h180.mdl")));
}

}  // namespace

#endif  // PARKMARQ_BATCH_EXE
