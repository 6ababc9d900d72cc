#include "build/compile_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "support/temp_folder.h"

namespace build {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

TEST(CompileLog, EveryChunkFollowedByCrLfAndEmptiedOnOpen) {
  testing_support::TempFolder temp;
  const auto path = (temp.Path() / "compile.log").string();
  CompileLog log;
  log.Append("before any compile");  // no log open: dropped
  log.Open(path);
  EXPECT_TRUE(log.IsOpen());
  for (const char* chunk : {"abc", "def", ""}) log.Append(chunk);
  log.Close();
  EXPECT_FALSE(log.IsOpen());
  EXPECT_EQ(ReadAll(path), "abc\r\ndef\r\n\r\n");
  log.Append("after the compile");
  log.Close();  // a second close does nothing
  EXPECT_EQ(ReadAll(path), "abc\r\ndef\r\n\r\n");

  log.Open(path);
  log.Append("half a li");
  log.Append("ne\n");
  log.Close();
  EXPECT_EQ(ReadAll(path), "half a li\r\nne\n\r\n");
}

TEST(CompileLog, ReplacesALinkInsteadOfWritingThroughIt) {
  testing_support::TempFolder temp;
  const auto victim = temp.Write("elsewhere/important.txt", "keep me");
  const auto path = temp.Path() / "compile.log";
  fs::create_symlink(victim, path);
  CompileLog log;
  log.Open(path.string());
  log.Append("output");
  log.Close();
  EXPECT_EQ(ReadAll(victim), "keep me");
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(ReadAll(path), "output\r\n");
}

TEST(CompileLog, FailuresNameTheFileAndAreReportedAtClose) {
  testing_support::TempFolder temp;
  CompileLog log;
  const auto missing = (temp.Path() / "no such folder" / "compile.log").string();
  try {
    log.Open(missing);
    ADD_FAILURE() << "a log in a missing folder was opened";
  } catch (const std::system_error& failure) {
    EXPECT_EQ(failure.code(), std::errc::no_such_file_or_directory);
    EXPECT_NE(std::string(failure.what()).find(missing), std::string::npos) << failure.what();
  }
  EXPECT_FALSE(log.IsOpen());

  // A full disk: Append must not throw from inside the runner's loop, Close reports it once.
  log.Open("/dev/full");
  log.Append("abc");
  log.Append("def");
  try {
    log.Close();
    ADD_FAILURE() << "the full disk went unnoticed";
  } catch (const std::system_error& failure) {
    EXPECT_EQ(failure.code(), std::errc::no_space_on_device);
    EXPECT_NE(std::string(failure.what()).find("/dev/full"), std::string::npos) << failure.what();
  }
  EXPECT_FALSE(log.IsOpen());
  EXPECT_NO_THROW(log.Close());

  // The failure belongs to that log only.
  const auto path = (temp.Path() / "compile.log").string();
  log.Open(path);
  log.Append("fine");
  EXPECT_NO_THROW(log.Close());
  EXPECT_EQ(ReadAll(path), "fine\r\n");
}

}  // namespace
}  // namespace build
