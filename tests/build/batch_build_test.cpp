#include "build/batch_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <variant>
#include <vector>

#include "build/build_fixture.h"

namespace build {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;
using testing_support::TempFolder;

constexpr const char* kAllParameters = "Docking display T1 (all parameters)";

// An application folder of the test's own: the demo templates, the stand-in compiler, a template
// whose main source does not assemble and one whose sources are missing.
class BatchBuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path built(PARKMARQ_APP_DIR);
    fs::copy(built / "vgds_source", app_.Path() / "vgds_source", fs::copy_options::recursive);
    fs::create_directories(app_.Path() / "tools");
    fs::copy_file(built / "tools" / "bglc_9.exe", app_.Path() / "tools" / "bglc_9.exe");
    app_.Write("vgds_source/broken.vgp", "True\nTrue\nTrue\nTrue\nBroken dock\nbroken.png\nbroken.asm\n\n");
    app_.Write("vgds_source/broken.asm", "        include broken_0.asm\n        bogus   1\n");
    fs::copy_file(built / "vgds_source" / "lateral_bars_0.asm", app_.Path() / "vgds_source" / "broken_0.asm");
    app_.Write("vgds_source/missing.vgp", "0\n0\n0\n0\nMissing dock\nmissing.png\nmissing.asm\n\n");
    fs::create_directories(out_.Path() / "sub");
    catalogue_ = catalogue::LoadTemplateCatalogue(app_.Str()).catalogue;
  }

  [[nodiscard]] int ListIndex(const std::string& name) const {
    const auto names = catalogue_.ListNames();
    return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
  }

  // What the window's button writes for the template and the field texts the window shows.
  [[nodiscard]] std::string WindowModel(const std::string& templateName, const std::vector<std::string>& texts) {
    build_test::ScriptedHost window;
    window.listIndex = ListIndex(templateName);
    const auto& entry = catalogue_.EntryForListIndex(window.listIndex);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      window.fields[catalogue::kParameters.at(i)] = {texts[i], entry.Uses(catalogue::kParameters.at(i))};
    }
    window.saveAnswer = (reference_.Path() / "window.mdl").string();
    build_test::RecordingMessages messages;
    runner::DOSOutputs objDOS(messages);
    CompileLog log;
    objDOS.ConnectReceiveOutputs([&log](std::string& chunk) { log.Append(chunk); });
    const BuildContext context{catalogue_, app_.Str(), "", kInvariantLocale, objDOS, log};
    EXPECT_EQ(RunBuildSequence(window, context), BuildOutcome::Compiled);
    EXPECT_TRUE(window.validationErrors.empty() && messages.shown.empty()) << templateName;
    const std::string model = ReadAll(window.saveAnswer);
    fs::remove(window.saveAnswer);
    EXPECT_FALSE(model.empty()) << templateName;
    return model;
  }

  [[nodiscard]] std::string Out(const std::string& name) const { return (out_.Path() / name).string(); }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(60)};
  TempFolder app_;
  TempFolder out_;
  TempFolder reference_;
  catalogue::TemplateCatalogue catalogue_;
};

TEST_F(BatchBuildTest, GoodRowsBuildTheWindowsModelsAndBadRowsSayWhy) {
  const std::string table =
      "stand;template;heading;stop;visibility;lateral;output\n"
      "A1;Docking display T1 (all parameters);123.456;20;500;10;\n"
      "A2;Docking display T1 (all parameters);400;20;500;10;\n"
      "A3;Docking display T9;1;2;3;4;\n"
      "A4;Broken dock;90;20;500;10;\n"
      "A5;Lateral bars (stop and lateral distance);;0;;-3;\n"
      "A6;Nose-in sign (heading only);270;;;;\n"
      "A7;Fixed display (no parameters);;;;;" +
      Out("sub/fixed.mdl") +
      "\n"
      "A8;Docking display T1 (all parameters);123.456;20;0;10;\n"
      "A9;Lateral bars (stop and lateral distance);;20;;-3.5;;extra\n"
      "A10;Missing dock;;;;;\n"
      "A11;Docking display T1 (all parameters);123.456;20;500;10;\n"
      "A12;Gate sign (eight-line descriptor);45;30;;0;\n"
      "A13;Nose-in sign (heading only);\"1,500\";;;;\n";
  const auto parsed = ParseStandTable(table);
  ASSERT_TRUE(std::holds_alternative<StandTable>(parsed));
  // Models left from an earlier run: one the batch builds again, one whose compile fails.
  out_.Write("safedock_t1_h123.46_s20_l10.mdl", "stale");
  out_.Write("broken_h90_s20_l10.mdl", "stale");

  std::vector<int> reported;
  const auto summary = RunBatch(std::get<StandTable>(parsed), catalogue_, {app_.Str(), out_.Str()},
                                [&](const RowResult& result, int rowCount) {
                                  EXPECT_EQ(rowCount, 13);
                                  reported.push_back(result.row->number);
                                });

  EXPECT_EQ(reported, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
  EXPECT_EQ(summary.built, 4);
  const std::string dockModel = Out("safedock_t1_h123.46_s20_l10.mdl");
  const struct {
    int row;
    std::string reason;
  } failures[] = {
      {2, "Please enter a heading between 0 and 360 degrees"},
      {3, "unknown template \"Docking display T9\" (--list shows the templates)"},
      {4, "the compiler wrote no model file; it printed:\n" + app_.Str() +
              "/tools/broken.asm(2): error: unknown directive \"bogus\"\nbglc_9: 1 error(s); no model written"},
      {5, "Please enter a stop distance greater than 0 meters"},
      {8, "its model file " + dockModel +
              " would replace the one row 1 (A1) built from other values; give the row an output of its own"},
      {9, "the row has 8 fields, the header has 7"},
      {10, ""},  // the sequence's own report, checked below
      {12, "Please enter a lateral distance greater than 0 meters"},
      {13, "Please enter a heading between 0 and 360 degrees"},  // grouped digits mean nothing in a table
  };
  ASSERT_EQ(summary.failed.size(), std::size(failures));
  for (std::size_t i = 0; i < summary.failed.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(failures[i].row));
    EXPECT_EQ(summary.failed[i].row->number, failures[i].row);
    EXPECT_FALSE(summary.failed[i].built);
    if (!failures[i].reason.empty()) {
      EXPECT_EQ(summary.failed[i].reason, failures[i].reason);
    }
  }
  EXPECT_NE(summary.failed[6].reason.find("missing.asm"), std::string::npos) << summary.failed[6].reason;
  EXPECT_FALSE(fs::exists(Out("broken_h90_s20_l10.mdl"))) << "a failed compile must not leave the old model";

  // Fields the template does not use and the row leaves empty hold what the window starts with.
  const struct {
    const char* name;
    std::string path;
    std::string templateName;
    std::vector<std::string> windowTexts;
  } models[] = {
      {"all parameters, the stale model replaced", dockModel, kAllParameters, {"123.456", "20", "500", "10"}},
      {"heading only", Out("nose_in_h270.mdl"), "Nose-in sign (heading only)", {"270", "20", "500", "10"}},
      {"own output path", Out("sub/fixed.mdl"), "Fixed display (no parameters)", {"0", "20", "500", "10"}},
  };
  for (const auto& model : models) {
    SCOPED_TRACE(model.name);
    EXPECT_EQ(ReadAll(model.path), WindowModel(model.templateName, model.windowTexts));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(out_.Path()), fs::directory_iterator()), 3)
      << "two models and the sub-folder, nothing else";
}

TEST_F(BatchBuildTest, ProgressAndSummaryLines) {
  const auto parsed = ParseStandTable(
      "stand,template,heading,stop,visibility,lateral\n"
      "A1,Nose-in sign (heading only),90,,,\n"
      "\n"
      ",Broken dock,90,20,500,10\n");
  ASSERT_TRUE(std::holds_alternative<StandTable>(parsed));
  std::vector<std::string> lines;
  const auto summary =
      RunBatch(std::get<StandTable>(parsed), catalogue_, {app_.Str(), out_.Str() + "/"},
               [&](const RowResult& result, int rowCount) { lines.push_back(ProgressLine(result, rowCount)); });
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "[1/2] A1 ... built " + Out("nose_in_h90.mdl"),
                "[2/2] (no stand label) (line 4) ... failed: the compiler wrote no model file; it printed:\n    " +
                    app_.Str() +
                    "/tools/broken.asm(2): error: unknown directive \"bogus\"\n"
                    "    bglc_9: 1 error(s); no model written",
            }));
  EXPECT_EQ(SummaryLine(summary, 2), "2 stands: 1 built, 1 failed (row 2)");
  EXPECT_EQ(SummaryLine(BatchSummary{1, {}}, 1), "1 stand: 1 built, 0 failed");
}

TEST(CatalogueListingTest, ListOrderNamesAndColumns) {
  catalogue::TemplateCatalogue catalogue;
  catalogue.Add({true, false, true, false, "Dock", "", "dock.asm", "", ""});
  catalogue.Add({false, false, false, false, "A sign with a long name", "", "sign.asm", "", ""});
  catalogue.Add({false, true, false, true, "Bars", "", "bars.asm", "", ""});
  EXPECT_EQ(CatalogueListing(catalogue),
            "  1  Dock                     heading, visibility\n"
            "  2  A sign with a long name  (no parameters)\n"
            "  3  Bars                     stop, lateral\n");
  EXPECT_EQ(CatalogueListing(catalogue::TemplateCatalogue{}), "");
}

}  // namespace
}  // namespace build
