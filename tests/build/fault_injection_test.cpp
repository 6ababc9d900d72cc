// Builds that fail part-way, checked by what they leave on disk: the report says what failed, the
// templates are untouched, no half-written temp.asm stays, and the next build works.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "build/build_fixture.h"
#include "support/file_size_limit.h"

namespace build_test {
namespace {

std::string Quoted(const fs::path& path) {
  return "\"" + path.string() + "\"";
}

class FaultInjection : public BuildFixture {
 protected:
  // Names of the regular files in the tools folder, each followed by a blank.
  [[nodiscard]] std::string ToolsListing() const {
    std::string names;
    for (const auto& [name, content] : Snapshot(Tools())) names += name + " ";
    return names;
  }

  // The report of a template file that could not be copied; source is "source" or "parameter source".
  [[nodiscard]] std::string CopyFailure(const std::string& source, const std::string& file, const char* reason) const {
    return "Could not copy the template " + source + " " + Quoted(Template(file)) + " to the tools folder " +
           Quoted(Tools()) + ": " + reason;
  }

  const std::map<std::string, std::string> templates_ = Snapshot(Templates());
};

TEST_F(FaultInjection, SomethingMissingOrInTheWayOfAFile) {
  enum class Put { Nothing, File, Folder };
  const struct {
    const char* name;
    fs::path path;  // moved away and replaced by what Put says
    Put put;
    std::string message;
    const char* toolsListing;
    std::string parameterCopy;  // tools/dock_0.asm afterwards, "" when it is no file
  } rows[] = {
      {"template source missing", Template("dock.asm"), Put::Nothing,
       CopyFailure("source", "dock.asm", "No such file or directory"), "bglc_9.exe ", ""},
      {"parameter source missing", Template("dock_0.asm"), Put::Nothing,
       CopyFailure("parameter source", "dock_0.asm", "No such file or directory"), "bglc_9.exe dock.asm ", ""},
      {"tools folder missing", Tools(), Put::Nothing,
       "Could not use the tools folder " + Quoted(Tools()) + ": No such file or directory", "", ""},
      {"tools folder a file", Tools(), Put::File,
       "Could not use the tools folder " + Quoted(Tools()) + ": Not a directory", "", ""},
      {"folder for the working copy", Tools("dock_0.asm"), Put::Folder,
       CopyFailure("parameter source", "dock_0.asm", "Is a directory"), "bglc_9.exe dock.asm ", ""},
      {"folder for temp.asm, not the build's to remove", Tools("temp.asm"), Put::Folder,
       "Could not write the rewritten parameter source through " + Quoted(Tools("temp.asm")) + ": Is a directory",
       "bglc_9.exe dock.asm dock_0.asm ", kParameterSource},
      {"folder for the log stops before the caption changes", Tools("compile.log"), Put::Folder,
       "Could not create the compile log " + Quoted(Tools("compile.log")) + ": Is a directory",
       "bglc_9.exe dock.asm dock_0.asm ", kRewrittenInitial},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ResetHost();
    fs::remove(OutputPath());
    const auto away = row.path.string() + ".away";
    if (fs::exists(row.path)) fs::rename(row.path, away);
    if (row.put == Put::File) temp_.Write(fs::relative(row.path, temp_.Path()).string(), "in the way");
    if (row.put == Put::Folder) fs::create_directories(row.path / "inside");

    EXPECT_EQ(RunExpectingFailure(), row.message);
    EXPECT_EQ(ToolsListing(), row.toolsListing);
    EXPECT_EQ(ToolsFile("dock_0.asm"), row.parameterCopy);
    EXPECT_EQ(fs::is_regular_file(row.path), row.put == Put::File);
    EXPECT_EQ(fs::is_directory(row.path / "inside"), row.put == Put::Folder);
    EXPECT_TRUE(host_.captions.empty());
    EXPECT_FALSE(fs::exists(OutputPath()));

    fs::remove_all(row.path);
    if (fs::exists(away)) fs::rename(away, row.path);
    ExpectTemplatesIntactAndNextBuildWorks(templates_);
    ResetTools();
  }
}

TEST_F(FaultInjection, ReadOnlyToolsFolderOrWorkingFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root; a folder in the way covers these paths";
  for (const auto& [path, message] :
       {std::pair{Tools(), CopyFailure("source", "dock.asm", "Permission denied")},
        {Tools("dock_0.asm"), CopyFailure("parameter source", "dock_0.asm", "Permission denied")}}) {
    SCOPED_TRACE(path);
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const auto report = RunExpectingFailure();
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(report, message);
    ExpectTemplatesIntactAndNextBuildWorks(templates_);
  }
}

TEST_F(FaultInjection, DiskFull) {
  std::string tokens;  // 1800 bytes of template that grow to 2700 when every NVL becomes 32767
  for (int i = 0; i < 450; ++i) tokens += "NVL ";
  const struct {
    const char* name;
    fs::path file;  // overwritten with content for the build, then restored
    std::string content;
    std::string report;         // the failure, then after "|" the captions set
    std::string parameterCopy;  // tools/dock_0.asm afterwards, "" when there is none
  } rows[] = {
      {"working copy", Template("dock.asm"), "; " + std::string(8000, 'x') + "\r\n",
       CopyFailure("source", "dock.asm", "File too large") + "|", ""},
      {"temp.asm", Template("dock_0.asm"), tokens,
       "Could not write the rewritten parameter source through " + Quoted(Tools("temp.asm")) + ": File too large|",
       tokens},  // still the template's copy, not half rewritten
      {"compile log", Tools("bglc_9.exe"),
       "#!/bin/sh\ni=0\nwhile [ $i -lt 100 ]; do echo 'line of compiler output, long enough'; i=$((i+1)); done\n"
       ": > \"$2\"\n",
       "Could not write the compile log " + Quoted(Tools("compile.log")) +
           ": File too large|Compiling ...,Create new MDL,",
       kRewrittenInitial},
  };
  const auto buildReport = [this] {
    ResetHost();
    std::string report = RunExpectingFailure() + "|";
    for (const auto& caption : host_.captions) report += caption + ",";
    return report;
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto original = testing_support::ReadAll(row.file);
    temp_.Write(fs::relative(row.file, temp_.Path()).string(), row.content);
    const auto templates = Snapshot(Templates());
    EXPECT_EQ(testing_support::InChildWithFileSizeLimit(2000, buildReport), row.report);
    EXPECT_EQ(Snapshot(Templates()), templates);
    EXPECT_EQ(ToolsFile("dock_0.asm"), row.parameterCopy);
    EXPECT_LE(ToolsFile("compile.log").size(), 2000u);
    temp_.Write(fs::relative(row.file, temp_.Path()).string(), original);
    ExpectTemplatesIntactAndNextBuildWorks(templates_);
  }
}

TEST_F(FaultInjection, WorkingFilesThatAreLinksAreReplacedNotWrittenThrough) {
  const auto victim = temp_.Write("victim.txt", "must stay");
  for (const char* name : {"dock.asm", "temp.asm", "compile.log"}) fs::create_symlink(victim, Tools(name));
  // The most harmful link of all: the working copy pointing back at the template itself.
  fs::create_symlink(Template("dock_0.asm"), Tools("dock_0.asm"));

  ASSERT_EQ(Run(), build::BuildOutcome::Compiled);
  EXPECT_EQ(testing_support::ReadAll(victim), "must stay");
  for (const char* name : {"dock.asm", "dock_0.asm", "compile.log"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(fs::is_symlink(Tools(name)));
  }
  ExpectTemplatesIntactAndNextBuildWorks(templates_);
}

TEST_F(FaultInjection, TemplateNamedLikeAToolsFile) {
  for (const char* name : {"temp.asm", "compile.log", "bglc_9.exe"}) {
    SCOPED_TRACE(name);
    catalogue_ = catalogue::TemplateCatalogue();
    catalogue::TemplateEntry entry;
    entry.Name = entry.SourceFile = name;
    catalogue_.Add(entry);
    temp_.Write(std::string("app folder/vgds_source/") + name, "harmful");
    const auto message = RunExpectingFailure();
    EXPECT_NE(message.find("the tools folder uses that name for its own file"), std::string::npos) << message;
    EXPECT_EQ(ToolsFile("bglc_9.exe"), kFakeCompiler);
  }
}

}  // namespace
}  // namespace build_test
