#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "helpers/process_probe.h"
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

  fs::path folder_;
  std::string executable_;
  std::string plain_;
};

TEST_F(ProcessStartTest, FindProgramTakesPathsAsTheyAreAndSearchesPathOtherwise) {
  const std::string oldPath = std::getenv("PATH");
  setenv("PATH", ("/no/such/folder:" + folder_.string() + ":/bin").c_str(), 1);
  const std::string cwd = fs::current_path().string();
  fs::current_path(folder_ / "sub");
  const struct {
    const char* name;
    std::string program;
    std::string expected;
  } cases[] = {
      {"absolute path", executable_, executable_},
      {"relative path", "../tool", "../tool"},
      {"a slash means no search", "./tool", ""},
      {"found on PATH", "tool", (folder_ / "tool").string()},
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
  setenv("PATH", "/no/such/folder::/bin", 1);
  fs::current_path(folder_);
  EXPECT_EQ(platform::FindProgram("tool"), "./tool") << "an empty entry is the current directory";
  fs::current_path(cwd);
  setenv("PATH", oldPath.c_str(), 1);
}

}  // namespace
