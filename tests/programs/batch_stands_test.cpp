// An airport's own data through parkmarq-batch: its stands as a table, the table built into models,
// and the list that places each model at its stand.
#ifdef PARKMARQ_BATCH_EXE

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/run_program.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::RunProgram;
using testing_support::ReadAll;

TEST(BatchStandsTest, AnAirportsGatesBecomeModelsAndTheirPlacementList) {
  testing_support::TempFolder app;
  testing_support::TempFolder work;
  const fs::path built = fs::path(PARKMARQ_BATCH_EXE).parent_path();
  const std::string program = (app.Path() / fs::path(PARKMARQ_BATCH_EXE).filename()).string();
  fs::copy_file(PARKMARQ_BATCH_EXE, program);
  fs::copy(built / "tools", app.Path() / "tools", fs::copy_options::recursive);
  fs::copy(built / "vgds_source", app.Path() / "vgds_source", fs::copy_options::recursive);
  // Of the templates left, only the guidance display takes the heading, whatever the list's order.
  for (const char* other : {"gate_sign.vgp", "nose_in.vgp"}) fs::remove(app.Path() / "vgds_source" / other);
  const std::string file = work.Write("EDDF.groundnet.xml", "<groundnet><parkingList>\n"
      "<Parking type=\"gate\" name=\"Pier &quot;A&quot;, \" number=\"10\" lat=\"N50 2.928\" lon=\"E08 34.108\" "
      "heading=\"-66\"/>\n<Parking type=\"ga\" name=\"G\" number=\"1\" lat=\"N50 2\" lon=\"E08 34\" heading=\"5\"/>\n"
      "<Parking type=\"gate\" name=\"B2\" lat=\"N50 3\" lon=\"E08 35\" heading=\"north\"/>\n"
      "<Parking type=\"gate\" name=\"B2\" lat=\"N50 3\" lon=\"E08 35\" heading=\"12.50\"/>\n"
      "</parkingList></groundnet>\n").string();

  const auto stands = RunProgram(program, {"--stands", file, "--stop", "7"});
  ASSERT_EQ(stands.exitStatus, 0) << stands.output;
  std::istringstream lines(stands.output);
  std::string table;  // standard output: the lines that are no message
  for (std::string line; std::getline(lines, line);) table += line.starts_with("parkmarq-batch: ") ? "" : line + "\n";
  EXPECT_EQ(table, "stand,template,heading,stop,visibility,lateral,lat,lon\n"
                   "\"Pier \"\"A\"\", 10\",Guidance display (all parameters),294,7,500,10,50.04880000,8.56846667\n"
                   "B2,Guidance display (all parameters),12.5,7,500,10,50.05000000,8.58333333\n");
  EXPECT_NE(stands.output.find(file + ": line 4: stand \"B2\" skipped: unreadable heading \"north\"\n"
                               "parkmarq-batch: template \"Guidance display (all parameters)\""),
            std::string::npos) << stands.output;

  work.Write("stands.csv", table);
  fs::create_directory(work.Path() / "models");
  const auto batch = RunProgram(program, {"stands.csv", "--out", "models", "--placements", "placed.csv"}, work.Str());
  ASSERT_EQ(batch.exitStatus, 0) << batch.output;
  const std::string models = (fs::path("models") / "guidance_display_h").string();
  EXPECT_EQ(ReadAll(work.Path() / "placed.csv"), "stand,model,lat,lon,heading\n"
            "\"Pier \"\"A\"\", 10\"," + models + "294_s7_l10.mdl,50.04880000,8.56846667,294\nB2," + models +
            "12.5_s7_l10.mdl,50.05000000,8.58333333,12.5\n");
  for (const char* model : {"guidance_display_h294_s7_l10.mdl", "guidance_display_h12.5_s7_l10.mdl"}) {
    EXPECT_EQ(ReadAll(work.Path() / "models" / model).substr(0, 4), "RIFF") << model;
  }

  // What has no table to give says why, and writes none; --kind all takes every stand.
  work.Write("ramps.xml", "<groundnet><Parking type=\"ga\" name=\"G\" lat=\"N1 0\" lon=\"E1 0\" heading=\"5\"/>"
                          "</groundnet>");
  work.Write("other.txt", "stand,template\n");
  const std::tuple<std::vector<std::string>, int, std::string> runs[] = {
      {{"--stands", "ramps.xml"}, 2, "the airport has no gates, but 1 other stand; --kind all includes them\n"},
      {{"--stands", "other.txt"}, 2, "other.txt is no file of stands read here"},
      {{"--stands", "ramps.xml", "--kind", "some"}, 2, "--kind is gate or all"},
      {{"--stands", "ramps.xml", "--template", "Nowhere"}, 2, "unknown template \"Nowhere\""},
      {{"--airport", "EDDF"}, 2, "--airport goes with --stands"},
      {{"--stands", "ramps.xml", "--kind", "all"}, 0, "\nG,Guidance display (all parameters),5,20,500,10,1.00000000,"},
  };
  for (const auto& [arguments, status, says] : runs) {
    const auto run = RunProgram(program, arguments, work.Str());
    EXPECT_EQ(run.exitStatus, status) << run.output;
    EXPECT_NE(run.output.find(says), std::string::npos) << run.output;
    if (status == 0) continue;
    EXPECT_EQ(run.output.find("stand,template"), std::string::npos) << run.output;
    if (arguments.size() == 2 && arguments[0] == "--stands") {  // nothing else is said where nothing is read
      EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "one line: " << run.output;
    }
  }
}

}  // namespace

#endif  // PARKMARQ_BATCH_EXE
