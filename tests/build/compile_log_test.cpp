#include "build/compile_log.h"

#include <gtest/gtest.h>

#include <string>
#include <system_error>

#include "support/temp_folder.h"

namespace build {
namespace {

using testing_support::ReadAll;

TEST(CompileLog, EveryChunkFollowedByCrLfEmptiedOnOpenAndAFailureOnlyForThatLog) {
  testing_support::TempFolder temp;
  const auto path = (temp.Path() / "compile.log").string();
  CompileLog log;
  log.Append("before any compile");  // no log open: dropped
  log.Open(path);
  for (const char* chunk : {"abc", "def", ""}) log.Append(chunk);
  log.Close();
  log.Append("after the compile");
  log.Close();  // a second close does nothing
  EXPECT_EQ(ReadAll(path), "abc\r\ndef\r\n\r\n");

  // A full disk: Append must not throw from inside the runner's loop, Close reports it once.
  log.Open("/dev/full");
  log.Append("abc");
  EXPECT_THROW(log.Close(), std::system_error);
  EXPECT_FALSE(log.IsOpen());
  EXPECT_NO_THROW(log.Close());
  log.Open(path);  // emptied on open
  log.Append("fine\n");
  EXPECT_NO_THROW(log.Close());
  EXPECT_EQ(ReadAll(path), "fine\n\r\n");
}

}  // namespace
}  // namespace build
