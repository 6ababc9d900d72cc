// The simulator's own compiler is a Windows program; on Linux the build runs it through Wine. The
// stand-in compiler built for Windows plays it here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/program_launch.h"
#include "support/run_program.h"
#include "support/templates.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ProgramRun;
using testing_support::ReadAll;
using testing_support::RunProgram;

// What winepath prints for path, without its last line end.
std::string WinePathOutput(const std::string& path) {
  auto output = RunProgram("env", {"WINEDEBUG=-all", "winepath", "-w", path}, {}, 300).output;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

// One private prefix for every test, made before the first (Wine's first start takes long) and its
// server stopped after the last. No Wine dialog may wait for a person.
class WinePrefix : public ::testing::Environment {
 public:
  void SetUp() override {
    ::setenv("WINEPREFIX", WINE_TEST_PREFIX, 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    ::unsetenv("DISPLAY");
    ASSERT_EQ(std::system("WINEDEBUG=-all timeout 600 wineboot -i >/dev/null 2>&1"), 0);
  }
  void TearDown() override { (void)std::system("wineserver -k"); }
};
const auto* const kWinePrefix = ::testing::AddGlobalTestEnvironment(new WinePrefix);

TEST(WineLaunch, PathsAreTheOnesWinepathPrints) {
  testing_support::TempFolder folder;
  folder.Write("with blank/tools/bglc_9.exe", "MZ");
  const std::string prefix = WINE_TEST_PREFIX;
  for (const auto& path : {folder.Str() + "/with blank/tools/bglc_9.exe", folder.Str() + "/not yet/model.mdl",
                           prefix + "/drive_c/users/dock.asm", prefix + "/dosdevices/c:/windows", std::string("/")}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(platform::WinePath(path), WinePathOutput(path));
  }
}

// Two copies of the built application folder, in folders with a blank in their names: one with the
// native compiler, one with the Windows one.
class WineBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path built = fs::path(PARKMARQ_BATCH_EXE).parent_path();
    testing_support::CopyApplicationFolder(built, native_, {}, "parkmarq-batch");
    testing_support::CopyApplicationFolder(built, windows_, WINDOWS_COMPILER, "parkmarq-batch");
    work_.Write("stands.csv",
                "stand,template,heading,stop,visibility,lateral\n"
                "A1,Guidance display (all parameters),123.456,20,500,10\n"
                "A2,Nose-in sign (heading only),270,,,\n"
                "A3,Lateral bars (stop and lateral distance),,20,,-3.5\n");
  }

  // Wine takes its time on a busy machine, yet a hang must fail the test.
  [[nodiscard]] ProgramRun Batch(const fs::path& app, const std::string& out,
                                 const std::string& path = std::getenv("PATH")) const {
    fs::create_directories(work_.Path() / out);
    return RunProgram("env",
                      {"PATH=" + path, (app / "parkmarq-batch").string(), (work_.Path() / "stands.csv").string(),
                       "--out", (work_.Path() / out).string()},
                      {}, 300);
  }

  testing_support::TempFolder work_;
  const fs::path native_ = work_.Path() / "native app";
  const fs::path windows_ = work_.Path() / "windows app";
};

TEST_F(WineBuild, TheWindowsCompilerBuildsTheNativeModels) {
  const auto native = Batch(native_, "native");
  ASSERT_EQ(native.exitStatus, 0) << native.output;
  const auto windows = Batch(windows_, "windows");
  ASSERT_EQ(windows.exitStatus, 0) << windows.output;
  int models = 0;
  for (const auto& model : fs::directory_iterator(work_.Path() / "native")) {
    SCOPED_TRACE(model.path().filename());
    ++models;
    EXPECT_EQ(ReadAll(work_.Path() / "windows" / model.path().filename()), ReadAll(model.path()));
  }
  EXPECT_EQ(models, 3);
  // The log holds what the compiler printed, as for the native one, and none of Wine's own chatter.
  const auto log = ReadAll(windows_ / "tools" / "compile.log");
  EXPECT_NE(log.find("bglc_9"), std::string::npos) << log;
  EXPECT_EQ(log.find("fixme:"), std::string::npos) << log;
}

TEST_F(WineBuild, WithoutWineTheBuildStopsAndSaysWhatToInstall) {
  const auto run = Batch(windows_, "out", "/nonexistent");
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_NE(run.output.find("Please install the Debian package wine (sudo apt install wine)."), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("Nothing was written."), std::string::npos) << run.output;
  EXPECT_EQ(testing_support::EntriesIn(windows_ / "tools"), 1) << "only the compiler";
  EXPECT_TRUE(fs::is_empty(work_.Path() / "out"));
}

}  // namespace
