// Builds that fail part-way, checked by what they leave on disk: the report says what failed, the
// templates are untouched, no half-written temp.asm stays, and the next build works.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "build/build_fixture.h"

namespace build_test {
namespace {

using build::BuildOutcome;

constexpr unsigned kChildSeconds = 30;

std::string InQuotes(const std::string& text) {
  return "\"" + text + "\"";
}

class FaultInjection : public BuildFixture {
 protected:
  FaultInjection() : templates_(Snapshot(Templates())) {}

  // The build run in a child process whose files may grow to at most limit bytes (as on a disk that
  // fills up): its report, then after "|" the captions it set, comma-separated.
  std::string RunWithFileSizeLimit(rlim_t limit) {
    int fds[2];
    if (::pipe(fds) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    const pid_t child = ::fork();
    if (child < 0) throw std::system_error(errno, std::generic_category(), "fork");
    if (child == 0) {
      ::close(fds[0]);
      ::alarm(kChildSeconds);
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit fileSize{limit, limit};
      ::setrlimit(RLIMIT_FSIZE, &fileSize);
      std::string report;
      try {
        report = "outcome " + std::to_string(static_cast<int>(Run()));
      } catch (const std::exception& failure) {
        report = failure.what();
      }
      report += "|";
      for (const auto& caption : host_.captions) report += caption + ",";
      for (std::string_view rest = report; !rest.empty();) {
        const ssize_t written = ::write(fds[1], rest.data(), rest.size());
        if (written <= 0) break;
        rest.remove_prefix(static_cast<std::size_t>(written));
      }
      ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;)
      report.append(buffer, static_cast<std::size_t>(got));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "the build's process ended abnormally";
    return report;
  }

  void ExpectRecovered() { ExpectTemplatesIntactAndNextBuildWorks(templates_); }

  [[nodiscard]] std::string Template(const std::string& name) const { return (Templates() / name).string(); }

  std::map<std::string, std::string> templates_;
};

TEST_F(FaultInjection, TemplateSourceMissing) {
  const auto missing = Template("dock.asm");
  fs::rename(missing, missing + ".away");
  EXPECT_EQ(RunExpectingFailure(), "Could not copy the template source " + InQuotes(missing) + " to the tools folder " +
                                       InQuotes(Tools().string()) + ": No such file or directory");
  EXPECT_EQ(Snapshot(Tools()).size(), 1u);
  fs::rename(missing + ".away", missing);
  ExpectRecovered();
}

TEST_F(FaultInjection, ParameterSourceMissingLeavesTheMainSourceCopied) {
  const auto missing = Template("dock_0.asm");
  fs::rename(missing, missing + ".away");
  EXPECT_EQ(RunExpectingFailure(), "Could not copy the template parameter source " + InQuotes(missing) +
                                       " to the tools folder " + InQuotes(Tools().string()) +
                                       ": No such file or directory");
  EXPECT_EQ(ToolsFile("dock.asm"), kMainSource);
  EXPECT_FALSE(fs::exists(Tools("dock_0.asm")));
  fs::rename(missing + ".away", missing);
  ExpectRecovered();
}

TEST_F(FaultInjection, ToolsFolderMissingOrAFile) {
  const struct {
    const char* name;
    bool asFile;
    const char* reason;
  } rows[] = {{"missing", false, "No such file or directory"}, {"a file", true, "Not a directory"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(Tools());
    if (row.asFile) temp_.Write("app folder/tools", "not a folder");
    EXPECT_EQ(RunExpectingFailure(),
              "Could not use the tools folder " + InQuotes(Tools().string()) + ": " + row.reason);
    if (row.asFile) {
      EXPECT_EQ(testing_support::ReadAll(Tools()), "not a folder");
    }
    EXPECT_EQ(Snapshot(Templates()), templates_);
  }
  fs::remove_all(Tools());
  fs::create_directories(Tools());
  InstallCompiler(kFakeCompiler);
  ExpectRecovered();
}

TEST_F(FaultInjection, ToolsFolderReadOnly) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root; a missing tools folder covers the path";
  fs::permissions(Tools(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const auto message = RunExpectingFailure();
  fs::permissions(Tools(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_TRUE(message.starts_with("Could not copy the template source")) << message;
  EXPECT_TRUE(message.ends_with(": Permission denied")) << message;
  ExpectRecovered();
}

TEST_F(FaultInjection, WorkingFileReadOnly) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root; a folder in the file's place covers the path";
  temp_.Write("app folder/tools/dock_0.asm", "old");
  fs::permissions(Tools("dock_0.asm"), fs::perms::owner_read);
  const auto message = RunExpectingFailure();
  EXPECT_TRUE(message.starts_with("Could not copy the template parameter source")) << message;
  EXPECT_TRUE(message.ends_with(": Permission denied")) << message;
  fs::permissions(Tools("dock_0.asm"), fs::perms::owner_all);
  ExpectRecovered();
}

TEST_F(FaultInjection, AFolderWhereAWorkingFileShouldBe) {
  fs::create_directories(Tools("dock_0.asm") / "inside");
  auto message = RunExpectingFailure();
  EXPECT_TRUE(message.starts_with("Could not copy the template parameter source")) << message;
  EXPECT_TRUE(fs::is_directory(Tools("dock_0.asm") / "inside"));
  fs::remove_all(Tools("dock_0.asm"));

  // A folder in the scratch file's place is not the build's to remove.
  fs::create_directories(Tools("temp.asm"));
  message = RunExpectingFailure();
  EXPECT_EQ(message, "Could not write the rewritten parameter source through " + InQuotes(Tools("temp.asm").string()) +
                         ": Is a directory");
  EXPECT_TRUE(fs::is_directory(Tools("temp.asm")));
  EXPECT_EQ(ToolsFile("dock_0.asm"), kParameterSource);
  fs::remove(Tools("temp.asm"));

  // A log that cannot be created stops the build before the caption changes.
  fs::create_directories(Tools("compile.log"));
  message = RunExpectingFailure();
  EXPECT_EQ(message,
            "Could not create the compile log " + InQuotes(Tools("compile.log").string()) + ": Is a directory");
  EXPECT_TRUE(host_.captions.empty());
  EXPECT_FALSE(fs::exists(OutputPath()));
  EXPECT_EQ(ToolsFile("dock_0.asm"), kRewrittenInitial);
  fs::remove(Tools("compile.log"));
  ExpectRecovered();
}

TEST_F(FaultInjection, DiskFullWhileTheWorkingCopyIsWritten) {
  const std::string bigMain = "; " + std::string(8000, 'x') + "\r\n";
  temp_.Write("app folder/vgds_source/dock.asm", bigMain);
  templates_ = Snapshot(Templates());
  const auto report = RunWithFileSizeLimit(2000);
  EXPECT_TRUE(report.starts_with("Could not copy the template source " + InQuotes(Template("dock.asm")))) << report;
  EXPECT_TRUE(report.ends_with(": File too large|")) << report;
  EXPECT_FALSE(fs::exists(Tools("dock_0.asm")));
  EXPECT_EQ(Snapshot(Templates()), templates_);
  temp_.Write("app folder/vgds_source/dock.asm", kMainSource);
  templates_ = Snapshot(Templates());
  ExpectRecovered();
}

TEST_F(FaultInjection, DiskFullWhileTempAsmIsWritten) {
  // 1200 bytes of template grow to 1800 when every NVL becomes 32767.
  std::string tokens;
  for (int i = 0; i < 300; ++i) tokens += "NVL ";
  temp_.Write("app folder/vgds_source/dock_0.asm", tokens);
  templates_ = Snapshot(Templates());
  const auto report = RunWithFileSizeLimit(1500);
  EXPECT_EQ(report, "Could not write the rewritten parameter source through " + InQuotes(Tools("temp.asm").string()) +
                        ": File too large|");
  EXPECT_FALSE(fs::exists(Tools("temp.asm")));
  EXPECT_EQ(ToolsFile("dock_0.asm"), tokens);  // still the template's copy, not half rewritten
  temp_.Write("app folder/vgds_source/dock_0.asm", kParameterSource);
  templates_ = Snapshot(Templates());
  ExpectRecovered();
}

TEST_F(FaultInjection, DiskFullWhileTheCompileLogIsWritten) {
  InstallCompiler(
      "#!/bin/sh\ni=0\nwhile [ $i -lt 100 ]; do echo 'line of compiler output, long enough'; i=$((i+1)); done\n"
      ": > \"$2\"\n");
  const auto report = RunWithFileSizeLimit(2000);
  EXPECT_EQ(report, "Could not write the compile log " + InQuotes(Tools("compile.log").string()) +
                        ": File too large|Compiling ...,Create new MDL,");
  EXPECT_LE(fs::file_size(Tools("compile.log")), 2000u);
  InstallCompiler(kFakeCompiler);
  ExpectRecovered();
}

TEST_F(FaultInjection, WorkingFilesThatAreLinksAreReplacedNotWrittenThrough) {
  const auto victim = temp_.Write("victim.txt", "must stay");
  for (const char* name : {"dock.asm", "dock_0.asm", "temp.asm", "compile.log"}) {
    fs::create_symlink(victim, Tools(name));
  }
  // The most harmful link of all: the working copy pointing back at the template itself.
  fs::remove(Tools("dock_0.asm"));
  fs::create_symlink(Template("dock_0.asm"), Tools("dock_0.asm"));

  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  EXPECT_EQ(testing_support::ReadAll(victim), "must stay");
  for (const char* name : {"dock.asm", "dock_0.asm", "compile.log"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(fs::is_symlink(Tools(name)));
  }
  EXPECT_EQ(ToolsFile("dock_0.asm"), kRewrittenInitial);
  EXPECT_EQ(ToolsFile("dock.asm"), kMainSource);
  ExpectRecovered();
}

TEST_F(FaultInjection, TemplateNamedLikeAToolsFile) {
  for (const char* name : {"temp.asm", "compile.log", "bglc_9.exe"}) {
    SCOPED_TRACE(name);
    catalogue::TemplateEntry entry;
    entry.Name = name;
    entry.SourceFile = name;
    catalogue_ = catalogue::TemplateCatalogue();
    catalogue_.Add(entry);
    temp_.Write(std::string("app folder/vgds_source/") + name, "harmful");
    const auto message = RunExpectingFailure();
    EXPECT_NE(message.find("the tools folder uses that name for its own file"), std::string::npos) << message;
    EXPECT_EQ(ToolsFile("bglc_9.exe"), kFakeCompiler);
    fs::remove(Templates() / name);
  }
}

}  // namespace
}  // namespace build_test
