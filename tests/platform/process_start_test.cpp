#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "helpers/process_probe.h"
#include "platform/pipe.h"
#include "platform/process.h"

namespace {

namespace fs = std::filesystem;

class ProcessStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("process_start_" + std::to_string(getpid()));
    fs::create_directories(folder_ / "sub");
    executable_ = (folder_ / "tool").string();
    fs::copy_file(test_helpers::RunnerChildPath(), executable_);
    plain_ = (folder_ / "plain").string();
    std::ofstream(plain_) << "data\n";
    fs::permissions(plain_, fs::perms::owner_read | fs::perms::owner_write);
  }
  void TearDown() override { fs::remove_all(folder_); }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(60)};
  fs::path folder_;
  std::string executable_;
  std::string plain_;
};

TEST_F(ProcessStartTest, FindProgramTakesPathsAsTheyAreAndSearchesPathOtherwise) {
  const std::string oldPath = std::getenv("PATH");
  setenv("PATH", ("/no/such/folder:" + folder_.string() + ":/bin").c_str(), 1);
  const std::string cwd = fs::current_path().string();
  fs::current_path(folder_);
  const struct {
    const char* name;
    std::string program;
    std::string expected;
  } cases[] = {
      {"absolute path", executable_, executable_},
      {"relative path", "./tool", "./tool"},
      {"found on PATH", "tool", (folder_ / "tool").string()},
      {"name with slash is not searched", "sub/../nothing", ""},
      {"not executable", plain_, ""},
      {"not executable on PATH", "plain", ""},
      {"a folder", (folder_ / "sub").string(), ""},
      {"a folder on PATH", "sub", ""},
      {"missing", "parkmarq-no-such-program", ""},
      {"empty", "", ""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::FindProgram(row.program), row.expected);
  }
  setenv("PATH", (std::string("/no/such/folder::") + "/bin").c_str(), 1);
  EXPECT_EQ(platform::FindProgram("tool"), "./tool") << "an empty entry is the current directory";
  fs::current_path(cwd);
  setenv("PATH", oldPath.c_str(), 1);
}

TEST_F(ProcessStartTest, PipeEndsAreCloseOnExecAndAboveTheStandardStreams) {
  platform::Pipe pipe;
  ASSERT_EQ(platform::CreatePipe(pipe), 0);
  for (const int fd : {pipe.readEnd.Get(), pipe.writeEnd.Get()}) {
    EXPECT_GE(fd, 3);
    EXPECT_TRUE(fcntl(fd, F_GETFD) & FD_CLOEXEC);
  }
  ASSERT_EQ(write(pipe.writeEnd.Get(), "xyz", 3), 3);
  pipe.writeEnd.Close();
  std::array<char, 2> buffer{};
  const platform::ReadResult first = platform::ReadSome(pipe.readEnd, buffer);
  EXPECT_TRUE(first.ok);
  EXPECT_EQ(first.count, 2U);
  EXPECT_EQ(platform::ReadSome(pipe.readEnd, buffer).count, 1U);
  const platform::ReadResult end = platform::ReadSome(pipe.readEnd, buffer);
  EXPECT_FALSE(end.ok);
  EXPECT_EQ(end.count, 0U);
}

TEST_F(ProcessStartTest, FailedStartsLeaveNoChildAndNoDescriptor) {
  platform::Pipe pipe;
  ASSERT_EQ(platform::CreatePipe(pipe), 0);
  const std::size_t descriptors = test_helpers::OpenDescriptorCount();
  const struct {
    const char* name;
    std::vector<std::string> arguments;
  } cases[] = {
      {"no arguments", {}},
      {"missing", {"/no/such/program"}},
      {"not executable", {plain_}},
      {"NUL in an argument", {executable_, std::string("a\0b", 3)}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(platform::StartChild(row.arguments, pipe.writeEnd));
    EXPECT_EQ(test_helpers::OpenDescriptorCount(), descriptors);
    EXPECT_EQ(test_helpers::RunningChildCount() + test_helpers::ZombieChildCount(), 0U);
  }
  EXPECT_FALSE(platform::StartChild({executable_, "nothing"}, platform::FileDescriptor())) << "no output";
}

}  // namespace
