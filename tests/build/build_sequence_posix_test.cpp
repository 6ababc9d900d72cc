#include "build/build_sequence.h"

#include <gtest/gtest.h>

#include <string>

#include "build/build_fixture.h"
#include "platform/folder_lock.h"

namespace build_test {
namespace {

using build::BuildOutcome;
using catalogue::Parameter;

// The log as the handler writes it: each chunk followed by CR LF, then the runner's final empty chunk.
void ExpectLogOf(std::string log, const std::string& output) {
  EXPECT_TRUE(log.ends_with("\n\r\n\r\n")) << log;
  for (auto at = log.find("\r\n"); at != std::string::npos; at = log.find("\r\n", at)) log.erase(at, 2);
  EXPECT_EQ(log, output);
}

TEST(CompileLog, EveryChunkFollowedByCrLfAndNothingOutsideACompile) {
  testing_support::TempFolder temp;
  const auto path = (temp.Path() / "compile.log").string();
  build::CompileLog log;
  log.Append("before any compile");  // no log open: dropped
  log.Open(path);
  for (const char* chunk : {"abc", "def", ""}) log.Append(chunk);
  log.Close();
  log.Append("after the compile");
  EXPECT_EQ(testing_support::ReadAll(path), "abc\r\ndef\r\n\r\n");

  // Gathered in large pieces, yet whole and in order once closed, also around and beyond a piece's size.
  log.Open(path);
  std::string expected;
  for (const std::size_t size : {65534U, 1U, 200000U, 0U, 256U, 65536U}) {
    const std::string chunk(size, static_cast<char>('a' + size % 26));
    log.Append(chunk);
    expected += chunk + "\r\n";
  }
  log.Close();
  EXPECT_EQ(testing_support::ReadAll(path), expected);
}

using BuildSequence = BuildFixture;

TEST_F(BuildSequence, RefusedThenCompiledThroughEveryStepThenCancelledThenWithoutACompiler) {
  host_.fields[Parameter::Heading].text = "abc";
  host_.fields[Parameter::StopDistance].text = "0";
  EXPECT_EQ(Run(), BuildOutcome::Refused);
  EXPECT_EQ(host_.validationErrors, std::vector<std::string>{"Please enter a heading between 0 and 360 degrees"});
  EXPECT_TRUE(host_.dialogCalls.empty() && host_.captions.empty());
  EXPECT_EQ(Snapshot(Tools()).size(), 1u);  // only the compiler

  ResetHost();
  defaultOutputFolder_ = "/models/";
  host_.fields[Parameter::VisibilityDistance] = {"-7", false};  // disabled: not validated
  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  EXPECT_EQ(host_.dialogCalls, std::vector<std::string>{"Select output MDL file | MDL file (*.mdl)|*.mdl| | "
                                                        "/models/dock_h0_s20_l10.mdl"});
  EXPECT_EQ(host_.captions, (std::vector<std::string>{"Compiling ...", "Create new MDL"}));
  EXPECT_EQ(ToolsFile("dock.asm"), kMainSource);
  EXPECT_EQ(ToolsFile("dock_0.asm"), kRewrittenInitial);
  EXPECT_FALSE(fs::exists(Tools("temp.asm")));
  // Source and output as two arguments although the application folder has a blank in it.
  ExpectLogOf(ToolsFile("compile.log"), "bglc: 2 arguments\nbglc: done\n");
  EXPECT_EQ(testing_support::ReadAll(OutputPath()), "model of " + Tools("dock.asm").string() + "\n");
  EXPECT_FALSE(log_.IsOpen());

  ResetTools("#!/bin/sh\necho second run\nprintf 'second\\n' > \"$2\"\n");
  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  EXPECT_EQ(ToolsFile("dock_0.asm"), kRewrittenInitial);  // started from the template, not rewritten twice
  ExpectLogOf(ToolsFile("compile.log"), "second run\n");
  const auto log = ToolsFile("compile.log");

  ResetHost();
  host_.fields[Parameter::Heading] = {"90", true};
  host_.saveAnswer = "";
  EXPECT_EQ(Run(), BuildOutcome::Cancelled);
  EXPECT_EQ(host_.dialogCalls, std::vector<std::string>{"Select output MDL file | MDL file (*.mdl)|*.mdl| | "
                                                        "/models/dock_h90_s20_l10.mdl"});
  EXPECT_TRUE(host_.captions.empty());
  EXPECT_EQ(ToolsFile("compile.log"), log);
  EXPECT_EQ(testing_support::ReadAll(OutputPath()), "second\n");
  // The sources are generated before the dialog, so they carry the new heading.
  EXPECT_TRUE(ToolsFile("dock_0.asm").starts_with("heading dw -32768, 0\r\n"));

  // A compiler that cannot start: its message, the log emptied per compile and the caption restored.
  fs::remove(Tools("bglc_9.exe"));
  ResetHost();
  ASSERT_EQ(Run(), BuildOutcome::Compiled);
  EXPECT_EQ(messages_.shown, std::vector<std::string>{"File or command not found"});
  EXPECT_EQ(ToolsFile("compile.log"), "");
  EXPECT_EQ(host_.captions, (std::vector<std::string>{"Compiling ...", "Create new MDL"}));
}

TEST_F(BuildSequence, AnotherBuildInTheToolsFolderRefusesItAndAnEndedBuildReleasesIt) {
  auto held = platform::FolderLock::Try(Tools().string());
  ASSERT_TRUE(held.has_value());
  try {
    (void)Run();
    ADD_FAILURE() << "the build ran beside another one";
  } catch (const build::ToolsFolderBusy& busy) {
    EXPECT_TRUE(std::string(busy.what()).starts_with("Another build is running in the tools folder")) << busy.what();
  }
  EXPECT_EQ(Snapshot(Tools()).size(), 1u);
  held.reset();  // waiting instead is what the batch program does, tested there across processes
  EXPECT_EQ(Run(), BuildOutcome::Compiled);

  // Released at the end of a build, also one that failed.
  host_.fields[Parameter::LateralDistance] = {"0", false};
  EXPECT_EQ(RunExpectingFailure(),
            "Could not compute the bar distances from the stop distance \"20\" and the lateral distance \"0\": the "
            "lateral distance must not be 0 and the result must stay within the range of single-precision numbers");
  EXPECT_TRUE(platform::FolderLock::Try(Tools().string()).has_value());
}

}  // namespace
}  // namespace build_test
