// parkmarq-batch as a user runs it: from an application folder of its own, with its exit status.
#ifdef PARKMARQ_BATCH_EXE

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "build/batch_build.h"
#include "build/build_fixture.h"
#include "platform/folder_lock.h"
#include "support/run_program.h"
#include "support/templates.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;
using testing_support::RunProgram;

// A copy of the built application folder plus two faulty templates (a main source that does not assemble,
// sources missing), and a work folder holding out/sub/ and tables/t.csv (row 1's output in tables/models/).
class BatchProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path built = fs::path(PARKMARQ_BATCH_EXE).parent_path();
    testing_support::CopyApplicationFolder(built, app_.Path(), {}, "parkmarq-batch");
    app_.Write("vgds_source/broken.vgp", "True\nTrue\nTrue\nTrue\nBroken dock\nbroken.png\nbroken.asm\n\n");
    app_.Write("vgds_source/broken.asm", "        include broken_0.asm\n        bogus   1\n");
    fs::copy_file(built / "vgds_source" / "lateral_bars_0.asm", app_.Path() / "vgds_source" / "broken_0.asm");
    app_.Write("vgds_source/missing.vgp", "0\n0\n0\n0\nMissing dock\nmissing.png\nmissing.asm\n\n");
    work_.Write("tables/t.csv",
                "stand,template,heading,stop,visibility,lateral,output\n"
                "A1,Guidance display (all parameters),90,20,500,10,models/a1.mdl\n"
                "A2,Nose-in sign (heading only),180,,,,\n");
    fs::create_directories(work_.Path() / "tables" / "models");
    fs::create_directories(work_.Path() / "out" / "sub");
  }

  [[nodiscard]] std::string Program() const { return (app_.Path() / "parkmarq-batch").string(); }
  [[nodiscard]] std::string Work(const std::string& name) const { return (work_.Path() / name).string(); }

  // What the window's button writes for the template, its fields showing heading, 20, 500 and 10 (the
  // fields' enabled states only choose what is validated and the proposed name, not the model).
  [[nodiscard]] std::string WindowModel(const std::string& templateName, const char* heading) {
    const auto catalogue = catalogue::LoadTemplateCatalogue(app_.Str()).catalogue;
    const auto names = catalogue.ListNames();
    build_test::ScriptedHost window;
    window.listIndex = static_cast<int>(std::find(names.begin(), names.end(), templateName) - names.begin());
    window.fields = build_test::Fields(heading, "20", "500", "10");
    window.saveAnswer = Work(templateName + ".mdl");
    testing_support::RecordingMessages messages;
    runner::DOSOutputs objDOS(messages);
    build::CompileLog log;
    EXPECT_EQ(build::RunBuildSequence(window, {catalogue, app_.Str(), "", build::kInvariantLocale, objDOS, log}),
              build::BuildOutcome::Compiled);
    return ReadAll(window.saveAnswer);
  }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(90)};  // the window's build runs the compiler unbounded
  testing_support::TempFolder app_;
  testing_support::TempFolder work_;
};

// The rows' values are the unit tests' to check (validation, the table's layout); here what the batch
// adds: each row's own outcome, the run going on after a failure, its summary and exit status, and the
// models the window makes. A failed compile keeps its output beside the model until that model is built.
TEST_F(BatchProgramTest, GoodRowsBuildTheWindowsModelsAndBadRowsSayWhy) {
  work_.Write("mixed.csv",
              "stand;template;heading;stop;visibility;lateral;output\n"
              "A1;Guidance display (all parameters);123.456;20;500;10;\n"
              "A2;Docking display T9;1;2;3;4;\n"
              "A3;Broken dock;90;20;500;10;\n"
              "A4;Nose-in sign (heading only);270;;;;\n"
              "A5;Fixed display (no parameters);;;;;out/sub/fixed.mdl\n"
              "A6;Guidance display (all parameters);123.456;20;0;10;\n"
              ";Missing dock;;;;;\n");
  // Models left from an earlier run: one the batch builds again, one whose compile fails.
  work_.Write("out/guidance_display_h123.46_s20_l10.mdl", "stale");
  work_.Write("out/broken_h90_s20_l10.mdl", "stale");
  const auto run = RunProgram(Program(), {"mixed.csv", "--out", "out/"}, work_.Str());
  EXPECT_EQ(run.exitStatus, 1);
  const std::string app = app_.Str();
  const std::string error = app + "/tools/broken.asm(2): error: unknown directive \"bogus\"\n";
  EXPECT_EQ(
      run.output,
      "[1/7] A1 ... built out/guidance_display_h123.46_s20_l10.mdl\n"
      "[2/7] A2 (line 3) ... failed: unknown template \"Docking display T9\" (--list shows the templates)\n"
      "[3/7] A3 (line 4) ... failed: The compiler wrote no model file:\n    out/broken_h90_s20_l10.mdl\n"
      "    It printed:\n    " +
          error +
          "    bglc_9: 1 error(s); no model written\n"
          "    The whole output is in out/broken_h90_s20_l10.log.\n"
          "[4/7] A4 ... built out/nose_in_h270.mdl\n"
          "[5/7] A5 ... built out/sub/fixed.mdl\n"
          "[6/7] A6 (line 7) ... failed: its model file out/guidance_display_h123.46_s20_l10.mdl would replace the "
          "one row 1 (A1) built from other values; give the row an output of its own\n"
          "[7/7] (no stand label) (line 8) ... failed: Could not copy the template source \"" +
          app + "/vgds_source/missing.asm\" to the tools folder \"" + app +
          "/tools\": No such file or directory\n"
          "7 stands: 3 built, 4 failed (rows 2, 3, 6, 7)\n");
  EXPECT_EQ(ReadAll(Work("out/broken_h90_s20_l10.log")), error + "bglc_9: 1 error(s); no model written\n");

  // Fields the template does not use and the row leaves empty hold what the window starts with.
  EXPECT_EQ(ReadAll(Work("out/guidance_display_h123.46_s20_l10.mdl")),
            WindowModel("Guidance display (all parameters)", "123.456"));
  EXPECT_EQ(ReadAll(Work("out/nose_in_h270.mdl")), WindowModel("Nose-in sign (heading only)", "270"));
  EXPECT_EQ(ReadAll(Work("out/sub/fixed.mdl")), WindowModel("Fixed display (no parameters)", "0"));
  EXPECT_EQ(std::distance(fs::directory_iterator(Work("out")), fs::directory_iterator()), 4)
      << "two models, the failed row's log and the sub-folder: a failed compile must not leave the old model";

  std::string mended = ReadAll(app_.Path() / "vgds_source" / "lateral_bars.asm");
  mended.replace(mended.find("lateral_bars_0.asm"), 18, "broken_0.asm");
  app_.Write("vgds_source/broken.asm", mended);
  work_.Write("mended.csv", "stand,template,heading,stop,visibility,lateral\nA3,Broken dock,90,20,500,10\n");
  EXPECT_EQ(RunProgram(Program(), {"mended.csv", "--out", "out"}, work_.Str()).exitStatus, 0);
  EXPECT_FALSE(fs::exists(Work("out/broken_h90_s20_l10.log")));
}

TEST_F(BatchProgramTest, ExitStatusesAndTheTemplateList) {
  work_.Write("columns.csv", "stand,template,heading\nA1,x,1\n");
  app_.Write("parkmarq.ini", Work("gone") + "\r\n");
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{"--help"}, 0, "Usage: parkmarq-batch STANDS [--out DIR]"},
      {{"--list"}, 0, "  Guidance display (all parameters)         heading, stop, visibility, lateral\n"},
      {{}, 2, "parkmarq-batch: no stand table given"},
      {{Work("columns.csv")}, 2, "line 1: the header has no column \"stop\""},
      {{Work("tables/t.csv")},
       2,
       "the default output folder in parkmarq.ini, \"" + Work("gone") + "\", is no existing folder"},
  };
  for (const auto& [arguments, exitStatus, says] : cases) {
    SCOPED_TRACE(says);
    const auto run = RunProgram(Program(), arguments);
    EXPECT_EQ(run.exitStatus, exitStatus) << run.output;
    EXPECT_NE(run.output.find(says), std::string::npos) << run.output;
  }
  const std::string listing = RunProgram(Program(), {"--list"}).output;  // in the window's order, counted from 1
  EXPECT_EQ(listing, build::CatalogueListing(catalogue::LoadTemplateCatalogue(app_.Str()).catalogue));
  EXPECT_TRUE(listing.starts_with("  1  ")) << listing;
}

// A row's own output is read from the table's folder; the others go to --out (tested above), else to
// the folder remembered in parkmarq.ini, else to the current folder. A batch waits while another build
// holds the tools folder.
TEST_F(BatchProgramTest, WaitsForTheToolsFolderAndPutsModelsWhereTheyBelong) {
  app_.Write("parkmarq.ini", Work("out") + "\r\n");
  std::optional<platform::FolderLock> windowBuild = platform::FolderLock::Wait((app_.Path() / "tools").string());
  auto batch = std::async(std::launch::async, [&] { return RunProgram(Program(), {Work("tables/t.csv")}); });
  // A row takes a few milliseconds once it has the folder; half a second without one is waiting.
  EXPECT_EQ(batch.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
  EXPECT_FALSE(fs::exists(app_.Path() / "tools" / "guidance_display.asm")) << "it touched the working files";
  windowBuild.reset();
  const auto remembered = batch.get();
  fs::remove(app_.Path() / "parkmarq.ini");
  // Each exits 1 if a1.mdl goes anywhere but tables/models.
  EXPECT_EQ(remembered.exitStatus, 0) << remembered.output;
  EXPECT_EQ(RunProgram(Program(), {"tables/t.csv"}, work_.Str()).exitStatus, 0);
  EXPECT_TRUE(fs::exists(Work("tables/models/a1.mdl")));
  EXPECT_TRUE(fs::exists(Work("out/nose_in_h180.mdl")));
  EXPECT_TRUE(fs::exists(Work("nose_in_h180.mdl")));
}

// The README's example: the demo airport's gates, through a pipe, into models and a placement list.
TEST_F(BatchProgramTest, AStandTableFromAnAirportFileIsBuiltFromStandardInput) {
  const std::string airport = (fs::path(DEMO_SOURCE_DIR).parent_path() / "airport_demo.xml").string();
  const auto run = RunProgram("/bin/sh", {"-c", "\"$0\" --stands \"$1\" --template 'Nose-in sign (heading only)' | "
                                                "\"$0\" - --out out --placements out/placed.csv",
                                          Program(), airport},
                              work_.Str());
  EXPECT_EQ(run.exitStatus, 0) << run.output;
  EXPECT_NE(run.output.find("5 stands: 5 built, 0 failed"), std::string::npos) << run.output;
  EXPECT_NE(ReadAll(Work("out/placed.csv")).find("\nGATE_A 3L,out/nose_in_h294.5.mdl,47.45966667,8.55116667,294.5\n"),
            std::string::npos);
}

}  // namespace

#endif  // PARKMARQ_BATCH_EXE
