// An airport's own data through parkmarq-batch: its stands as a table, the table built into models,
// and the list that places each model at its stand.
#ifdef PARKMARQ_BATCH_EXE

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "support/run_program.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::RunProgram;
using testing_support::ReadAll;

// Standard output of --stands: the lines that are no message.
std::string TableLines(const std::string& output) {
  std::string table;
  std::size_t start = 0;
  while (start < output.size()) {
    const std::size_t end = output.find('\n', start);
    const std::string line = output.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
    if (!line.starts_with("parkmarq-batch: ")) table += line;
    start = end == std::string::npos ? output.size() : end + 1;
  }
  return table;
}

TEST(BatchStandsTest, AnAirportsGatesBecomeModelsAndTheirPlacementList) {
  testing_support::TempFolder app;
  testing_support::TempFolder work;
  const fs::path built = fs::path(PARKMARQ_BATCH_EXE).parent_path();
  const fs::path program = app.Path() / fs::path(PARKMARQ_BATCH_EXE).filename();
  fs::copy_file(PARKMARQ_BATCH_EXE, program);
  fs::copy(built / "tools", app.Path() / "tools", fs::copy_options::recursive);
  fs::copy(built / "vgds_source", app.Path() / "vgds_source", fs::copy_options::recursive);
  work.Write("EDDF.groundnet.xml",
             "<?xml version=\"1.0\"?>\n<groundnet><parkingList>\n"
             "<Parking index=\"0\" type=\"gate\" name=\"Pier &quot;A&quot;, \" number=\"10\" lat=\"N50 2.928\" "
             "lon=\"E08 34.108\" heading=\"-66\" radius=\"46\"/>\n"
             "<Parking index=\"1\" type=\"ga\" name=\"G\" number=\"1\" lat=\"N50 2\" lon=\"E08 34\" heading=\"5\"/>\n"
             "<Parking index=\"2\" type=\"gate\" name=\"B\" number=\"2\" lat=\"N50 3\" lon=\"E08 35\" heading=\"north\"/>\n"
             "<Parking index=\"3\" type=\"gate\" name=\"B\" number=\"2\" lat=\"N50 3\" lon=\"E08 35\" heading=\"12.50\"/>\n"
             "</parkingList></groundnet>\n");
  const std::string file = (work.Path() / "EDDF.groundnet.xml").string();

  const auto stands = RunProgram(program.string(), {"--stands", file, "--template", "Nose-in sign (heading only)"});
  ASSERT_EQ(stands.exitStatus, 0) << stands.output;
  EXPECT_NE(stands.output.find("parkmarq-batch: " + file + ": line 5: stand \"B2\" skipped: unreadable heading \"north\""),
            std::string::npos)
      << stands.output;
  const std::string table = TableLines(stands.output);
  EXPECT_EQ(table,
            "stand,template,heading,stop,visibility,lateral,lat,lon\n"
            "\"Pier \"\"A\"\", 10\",Nose-in sign (heading only),294,,,,50.04880000,8.56846667\n"
            "B2,Nose-in sign (heading only),12.5,,,,50.05000000,8.58333333\n");

  work.Write("stands.csv", table);
  const auto batch = RunProgram(program.string(), {"stands.csv", "--out", "models", "--placements", "placed.csv"},
                                (fs::create_directory(work.Path() / "models"), work.Str()));
  ASSERT_EQ(batch.exitStatus, 0) << batch.output;
  const std::string models = (fs::path("models") / "nose_in_h").string();
  EXPECT_EQ(ReadAll(work.Path() / "placed.csv"), "stand,model,lat,lon,heading\n\"Pier \"\"A\"\", 10\"," + models +
                                                      "294.mdl,50.04880000,8.56846667,294\nB2," + models +
                                                      "12.5.mdl,50.05000000,8.58333333,12.5\n");
  EXPECT_TRUE(fs::exists(work.Path() / "models" / "nose_in_h294.mdl"));
  EXPECT_TRUE(fs::exists(work.Path() / "models" / "nose_in_h12.5.mdl"));

  // What has no table to give says why, and writes none.
  work.Write("ramps.xml", "<groundnet><Parking type=\"ga\" name=\"G\" lat=\"N1 0\" lon=\"E1 0\" heading=\"5\"/></groundnet>");
  work.Write("other.txt", "stand,template\n");
  const std::tuple<std::vector<std::string>, std::string> refused[] = {
      {{"--stands", "ramps.xml"}, "the airport has no gates, but 1 other stand; --kind all includes them\n"},
      {{"--stands", "other.txt"}, "other.txt is no file of stands read here"},
      {{"--stands", "ramps.xml", "--kind", "some"}, "--kind is gate or all"},
      {{"--stands", "ramps.xml", "--template", "Nowhere"}, "unknown template \"Nowhere\""},
      {{"--airport", "EDDF"}, "--airport goes with --stands"},
  };
  for (const auto& [arguments, says] : refused) {
    const auto run = RunProgram(program.string(), arguments, work.Str());
    EXPECT_EQ(run.exitStatus, 2) << run.output;
    EXPECT_NE(run.output.find(says), std::string::npos) << run.output;
    if (arguments.size() == 2 && arguments[0] == "--stands") {  // nothing else is said where nothing is read
      EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "one line: " << run.output;
    }
    EXPECT_EQ(run.output.find("stand,template"), std::string::npos) << run.output;
  }
  // --kind all takes every stand, with the window's initial values where the template takes them; without
  // --template the first in the list that takes the heading (the list's order is the file system's).
  const auto all = RunProgram(program.string(), {"--stands", "ramps.xml", "--kind", "all", "--stop", "7"}, work.Str());
  const std::string naming = "parkmarq-batch: template \"";
  ASSERT_NE(all.output.find(naming), std::string::npos) << all.output;
  const auto named = all.output.find(naming) + naming.size();
  const std::string chosen = all.output.substr(named, all.output.find('"', named) - named);
  const std::string values = chosen == "Guidance display (all parameters)" ? "5,7,500,10"
                             : chosen == "Gate sign (eight-line descriptor)" ? "5,7,,10"
                                                                             : "5,,,";
  EXPECT_NE(all.output.find("\nG," + chosen + "," + values + ",1.00000000,1.00000000\n"), std::string::npos)
      << all.output;
}

}  // namespace

#endif  // PARKMARQ_BATCH_EXE
