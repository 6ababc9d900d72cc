// Builds that fail part-way, checked by what they leave on disk: the report says what failed, the
// templates are untouched, no half-written temp.asm stays, and the next build works.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "build/build_fixture.h"
#include "support/file_size_limit.h"

namespace build_test {
namespace {

using catalogue::Parameter;

class FaultInjection : public BuildFixture {
 protected:
  [[nodiscard]] std::string Quoted(const fs::path& path) const { return "\"" + path.string() + "\""; }
  // The report of a template file that could not be copied; source is "source" or "parameter source".
  [[nodiscard]] std::string CopyFailure(const std::string& source, const std::string& file, const char* reason) const {
    return "Could not copy the template " + source + " " + Quoted(Templates(file)) + " to the tools folder " +
           Quoted(Tools()) + ": " + reason;
  }
};

// Each row breaks one thing; the build reports exactly what failed, then after "|" the captions it set.
TEST_F(FaultInjection, EachStepsFailureLeavesWhatWasDoneBeforeIt) {
  // A folder with a file inside, which the build must leave as it is.
  const auto folderFor = [this](const char* name) {
    temp_.Write("app folder/tools/" + std::string(name) + "/keep", "");
  };
  const auto source = [this](const char* name, const std::string& content) {
    temp_.Write("app folder/vgds_source/" + std::string(name), content);
  };
  std::string tokens;  // 1800 bytes of template that grow to 2700 when every NVL becomes 32767
  for (int i = 0; i < 450; ++i) tokens += "NVL ";
  const std::string kAllCopied = "bglc_9.exe dock.asm dock_0.asm ";
  const struct {
    const char* name;
    std::function<void()> fault;
    bool diskFull;  // files may grow to 2000 bytes only
    std::string report;
    std::string toolsListing;
    std::string parameterCopy;  // tools/dock_0.asm afterwards, "" when it is no file
  } rows[] = {
      {"no template selected", [&] { host_.listIndex = -1; }, false,
       "No template is selected. Please choose a template in the list first.|", "bglc_9.exe ", ""},
      {"template source missing", [&] { fs::remove(Templates("dock.asm")); }, false,
       CopyFailure("source", "dock.asm", "No such file or directory|"), "bglc_9.exe ", ""},
      {"tools folder missing", [&] { fs::remove_all(Tools()); }, false,
       "Could not use the tools folder " + Quoted(Tools()) + ": No such file or directory|", "", ""},
      {"tools folder a file", [&] { fs::remove_all(Tools()), temp_.Write("app folder/tools", "in the way"); }, false,
       "Could not use the tools folder " + Quoted(Tools()) + ": Not a directory|", "", ""},
      {"folder for dock_0.asm", [&] { folderFor("dock_0.asm"); }, false,
       CopyFailure("parameter source", "dock_0.asm", "Is a directory|"), "bglc_9.exe dock.asm dock_0.asm/keep ", ""},
      {"disk full for the working copy, cut short, never compiled, replaced by the next build",
       [&] { source("dock.asm", "; " + std::string(8000, 'x') + "\r\n"); }, true,
       CopyFailure("source", "dock.asm", "File too large|"), "bglc_9.exe dock.asm ", ""},
      {"disabled heading, no number", [&] { host_.fields[Parameter::Heading] = build::ParameterField("abc", false); },
       false, "Could not write the heading \"abc\" into the parameter source: it is not a number|", kAllCopied,
       kParameterSource},
      {"folder for temp.asm, not the build's to remove", [&] { folderFor("temp.asm"); }, false,
       "Could not write the rewritten parameter source through " + Quoted(Tools("temp.asm")) + ": Is a directory|",
       kAllCopied + "temp.asm/keep ", kParameterSource},
      {"disk full for temp.asm: the copy stays whole", [&] { source("dock_0.asm", tokens); }, true,
       "Could not write the rewritten parameter source through " + Quoted(Tools("temp.asm")) + ": File too large|",
       kAllCopied, tokens},
      {"double quote in the output path", [&] { host_.saveAnswer = "/tmp/a\"b.mdl"; }, false,
       "Could not start the compiler: the output file /tmp/a\"b.mdl contains a double quote (\"), which cannot be "
       "passed on the compiler's command line. Please choose a path without one.|",
       kAllCopied, kRewrittenInitial},
      {"folder for the log stops before the caption changes", [&] { folderFor("compile.log"); }, false,
       "Could not create the compile log " + Quoted(Tools("compile.log")) + ": Is a directory|",
       "bglc_9.exe compile.log/keep dock.asm dock_0.asm ", kRewrittenInitial},
      {"disk full for the compile log", [&] { ResetTools("#!/bin/sh\nseq 1000\n"); }, true,
       "Could not write the compile log " + Quoted(Tools("compile.log")) +
           ": File too large|Compiling ...,Create new MDL,",
       "bglc_9.exe compile.log dock.asm dock_0.asm ", kRewrittenInitial},
  };
  const auto buildReport = [this] {
    std::string report = RunExpectingFailure() + "|";
    for (const auto& caption : host_.captions) report += caption + ",";
    return report;
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ResetHost();
    fs::remove(OutputPath());
    row.fault();
    const auto templates = Snapshot(Templates());
    EXPECT_EQ(row.diskFull ? testing_support::InChildWithFileSizeLimit(2000, buildReport) : buildReport(), row.report);
    EXPECT_EQ(Snapshot(Templates()), templates);
    std::string listing;
    for (const auto& [name, content] : Snapshot(Tools())) listing += name + " ";
    EXPECT_EQ(listing, row.toolsListing);
    EXPECT_EQ(ToolsFile("dock_0.asm"), row.parameterCopy);
    EXPECT_LE(ToolsFile("compile.log").size(), 2000u);
    EXPECT_FALSE(fs::exists(OutputPath()));
    source("dock.asm", kMainSource);
    source("dock_0.asm", kParameterSource);
    ResetTools();  // also removes what was put in the way
    ExpectTemplatesIntactAndNextBuildWorks();
    ResetTools();
  }
}

TEST_F(FaultInjection, LinksAreReplacedNotWrittenThroughAndTemplatesCannotTakeAToolsFileName) {
  const auto victim = temp_.Write("victim.txt", "must stay");
  for (const char* name : {"dock.asm", "temp.asm", "compile.log"}) fs::create_symlink(victim, Tools(name));
  // The most harmful link of all: the working copy pointing back at the template itself.
  fs::create_symlink(Templates("dock_0.asm"), Tools("dock_0.asm"));
  ASSERT_EQ(Run(), build::BuildOutcome::Compiled);
  EXPECT_EQ(testing_support::ReadAll(victim), "must stay");
  for (const char* name : {"dock.asm", "dock_0.asm", "compile.log"}) EXPECT_FALSE(fs::is_symlink(Tools(name))) << name;
  ExpectTemplatesIntactAndNextBuildWorks();

  for (const char* name : {"temp.asm", "compile.log", "bglc_9.exe"}) {
    catalogue_ = catalogue::TemplateCatalogue();
    catalogue::TemplateEntry entry;
    entry.Name = entry.SourceFile = name;
    catalogue_.Add(entry);
    temp_.Write(std::string("app folder/vgds_source/") + name, "harmful");
    const auto message = RunExpectingFailure();
    EXPECT_NE(message.find("the tools folder uses that name for its own file"), std::string::npos) << name << message;
    EXPECT_EQ(ToolsFile("bglc_9.exe"), kFakeCompiler) << name;
  }
}

}  // namespace
}  // namespace build_test
