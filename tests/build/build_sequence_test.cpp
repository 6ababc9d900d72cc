#include "build/build_sequence.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>

#include "build/build_fixture.h"
#include "platform/folder_lock.h"

namespace build_test {
namespace {

using build::BuildOutcome;
using catalogue::Parameter;

// The log as the handler writes it: each chunk followed by CR LF, then the runner's final empty chunk.
void ExpectLogOf(const std::string& log, const std::string& output) {
  std::string withoutLineBreaks = log;
  for (auto at = withoutLineBreaks.find("\r\n"); at != std::string::npos; at = withoutLineBreaks.find("\r\n", at)) {
    withoutLineBreaks.erase(at, 2);
  }
  EXPECT_EQ(withoutLineBreaks, output);
  EXPECT_TRUE(log.ends_with("\n\r\n\r\n")) << log;
}

using BuildSequence = BuildFixture;

TEST_F(BuildSequence, CompilesThroughEverySixSteps) {
  defaultOutputFolder_ = "/models/";
  ASSERT_EQ(Run(), BuildOutcome::Compiled);

  EXPECT_TRUE(host_.validationErrors.empty());
  EXPECT_EQ(host_.dialogCalls,
            (std::vector<ScriptedHost::DialogCall>{
                {"Select output MDL file", "MDL file (*.mdl)|*.mdl|", "/models/dock_h0_s20_l10.mdl"}}));
  EXPECT_EQ(host_.captions, (std::vector<std::string>{"Compiling ...", "Create new MDL"}));
  EXPECT_EQ(ToolsFile("dock.asm"), kMainSource);
  EXPECT_EQ(ToolsFile("dock_0.asm"), kRewrittenInitial);
  EXPECT_FALSE(fs::exists(Tools("temp.asm")));
  // Source and output as two arguments although the application folder has a blank in it.
  ExpectLogOf(ToolsFile("compile.log"), "bglc: 2 arguments\nbglc: done\n");
  EXPECT_EQ(testing_support::ReadAll(OutputPath()), "model of " + Tools("dock.asm").string() + "\n");
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_FALSE(log_.IsOpen());
}

TEST_F(BuildSequence, ASecondBuildStartsFromTheTemplateAndEmptiesTheLog) {
  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  const auto firstSources = Snapshot(Tools());
  InstallCompiler("#!/bin/sh\necho second run\nprintf 'second\\n' > \"$2\"\n");
  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  EXPECT_EQ(ToolsFile("dock_0.asm"), firstSources.at("dock_0.asm"));  // not rewritten twice
  ExpectLogOf(ToolsFile("compile.log"), "second run\n");

  host_.fields[Parameter::StopDistance].text = "45";
  host_.fields[Parameter::LateralDistance].text = "5";
  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  EXPECT_EQ(ToolsFile("dock_0.asm"),
            "heading dw 0, -32768\r\nstop dw 45 ; 16384\r\nbars real4 -2.488, -2.538, -0.236, -0.264\r\n");
}

TEST_F(BuildSequence, CancellingTheDialogKeepsTheLogAndTheModel) {
  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  const auto log = ToolsFile("compile.log");
  const auto model = testing_support::ReadAll(OutputPath());
  host_ = ScriptedHost();
  host_.fields[Parameter::Heading] = {"90", true};
  host_.saveAnswer = "";

  EXPECT_EQ(Run(), BuildOutcome::Cancelled);
  EXPECT_EQ(host_.dialogCalls.size(), 1u);
  EXPECT_EQ(host_.dialogCalls[0].idir, "dock_h90_s20_l10.mdl");
  EXPECT_TRUE(host_.captions.empty());
  EXPECT_EQ(ToolsFile("compile.log"), log);
  EXPECT_EQ(testing_support::ReadAll(OutputPath()), model);
  // The sources are generated before the dialog, so they carry the new heading.
  EXPECT_TRUE(ToolsFile("dock_0.asm").starts_with("heading dw -32768, 0\r\n"));
}

TEST_F(BuildSequence, ARefusedFieldWritesNothing) {
  host_.fields[Parameter::Heading].text = "abc";
  host_.fields[Parameter::StopDistance].text = "0";
  EXPECT_EQ(Run(), BuildOutcome::Refused);
  EXPECT_EQ(host_.validationErrors, std::vector<std::string>{"Please enter a heading between 0 and 360 degrees"});
  EXPECT_TRUE(host_.dialogCalls.empty());
  EXPECT_TRUE(host_.captions.empty());
  EXPECT_EQ(Snapshot(Tools()).size(), 1u);  // only the compiler
}

TEST_F(BuildSequence, DisabledFieldsAreNotValidatedButStillFeedTheSource) {
  host_.fields[Parameter::StopDistance] = {"abc", false};
  host_.fields[Parameter::VisibilityDistance] = {"-7", false};
  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  EXPECT_EQ(host_.dialogCalls.at(0).idir, "dock_h0_l10.mdl");
  EXPECT_EQ(ToolsFile("dock_0.asm"),
            "heading dw 0, -32768\r\nstop dw 0 ; 16384\r\nbars real4 -0.244, -0.294, -0.236, -0.264\r\n");
}

TEST_F(BuildSequence, UnanticipatedFailuresStopAtTheirStep) {
  const auto templates = Snapshot(Templates());
  struct Row {
    const char* name;
    void (*script)(ScriptedHost&);
    const char* message;  // the start of the report
    bool sourcesCopied;   // both working copies exist afterwards
    bool rewritten;       // the parameter source in tools is the rewritten one
  };
  const Row rows[] = {
      {"no template selected", [](ScriptedHost& h) { h.listIndex = -1; },
       "No template is selected. Please choose a template in the list first.", false, false},
      {"disabled heading that is no number",
       [](ScriptedHost& h) {
         h.fields[Parameter::Heading] = {"abc", false};
       },
       "Could not write the heading \"abc\" into the parameter source: it is not a number", true, false},
      {"disabled lateral distance 0",
       [](ScriptedHost& h) {
         h.fields[Parameter::LateralDistance] = {"0", false};
       },
       "Could not compute the bar distances from the stop distance \"20\" and the lateral distance \"0\"", true, false},
      {"stop distance too large for the name",
       [](ScriptedHost& h) { h.fields[Parameter::StopDistance].text = "40000"; },
       "Could not propose the output file name: the stop distance \"40000\" does not fit", true, true},
      {"double quote in the output path", [](ScriptedHost& h) { h.saveAnswer = "/tmp/a\"b.mdl"; },
       "Could not start the compiler: the output file /tmp/a\"b.mdl contains a double quote", true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(Tools());
    fs::create_directories(Tools());
    InstallCompiler(kFakeCompiler);
    host_ = ScriptedHost();
    host_.saveAnswer = OutputPath();
    row.script(host_);
    const auto message = RunExpectingFailure();
    EXPECT_TRUE(message.starts_with(row.message)) << message;
    EXPECT_EQ(fs::exists(Tools("dock.asm")), row.sourcesCopied);
    EXPECT_EQ(fs::exists(Tools("dock_0.asm")), row.sourcesCopied);
    if (row.sourcesCopied) {
      EXPECT_EQ(ToolsFile("dock_0.asm") != kParameterSource, row.rewritten);
    }
    EXPECT_FALSE(fs::exists(Tools("temp.asm")));
    EXPECT_FALSE(fs::exists(Tools("compile.log")));
    EXPECT_TRUE(host_.captions.empty());
    EXPECT_EQ(Snapshot(Templates()), templates);
  }
  ExpectTemplatesIntactAndNextBuildWorks(templates);
}

TEST_F(BuildSequence, ADoubleQuoteInTheApplicationFolderStopsBeforeTheCompiler) {
  const auto quoted = temp_.Path() / "my \"app\"";
  fs::rename(app_, quoted);
  app_ = quoted;
  const auto message = RunExpectingFailure();
  EXPECT_TRUE(message.starts_with("Could not start the compiler: the application folder")) << message;
  EXPECT_FALSE(fs::exists(Tools("compile.log")));
  EXPECT_FALSE(fs::exists(OutputPath()));
  EXPECT_TRUE(host_.captions.empty());
}

TEST_F(BuildSequence, ACompilerThatCannotStartLeavesAnEmptyLogAndTheCaptionRestored) {
  fs::remove(Tools("bglc_9.exe"));
  temp_.Write("app folder/tools/compile.log", "old output\r\n");
  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  EXPECT_EQ(messages_.shown, std::vector<std::string>{"File or command not found"});
  EXPECT_EQ(ToolsFile("compile.log"), "");
  EXPECT_EQ(host_.captions, (std::vector<std::string>{"Compiling ...", "Create new MDL"}));
}

TEST_F(BuildSequence, ACompilerThatPrintsNothingLeavesOneLineBreak) {
  InstallCompiler("#!/bin/sh\n: > \"$2\"\n");
  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  EXPECT_EQ(ToolsFile("compile.log"), "\r\n");
}

TEST_F(BuildSequence, AnotherBuildInTheToolsFolderRefusesOrWaits) {
  auto held = platform::FolderLock::Try(Tools().string());
  ASSERT_TRUE(held.has_value());
  try {
    (void)Run();
    ADD_FAILURE() << "the build ran beside another one";
  } catch (const build::ToolsFolderBusy& busy) {
    EXPECT_TRUE(std::string(busy.what()).starts_with("Another build is running in the tools folder")) << busy.what();
  }
  EXPECT_EQ(Snapshot(Tools()).size(), 1u);
  EXPECT_TRUE(host_.dialogCalls.empty());

  auto waiting = std::async(std::launch::async,
                            [this] { return build::RunBuildSequence(host_, Context(build::WhenToolsBusy::Wait)); });
  EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  EXPECT_FALSE(fs::exists(Tools("dock.asm")));
  held.reset();
  EXPECT_EQ(waiting.get(), BuildOutcome::Compiled);
  EXPECT_EQ(ToolsFile("dock_0.asm"), kRewrittenInitial);

  // Released at the end of a build, also one that failed.
  host_.fields[Parameter::LateralDistance] = {"0", false};
  (void)RunExpectingFailure();
  EXPECT_TRUE(platform::FolderLock::Try(Tools().string()).has_value());
}

}  // namespace
}  // namespace build_test
