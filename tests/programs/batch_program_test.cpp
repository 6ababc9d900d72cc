// parkmarq-batch as a user runs it: from an application folder of its own, with its exit status.
#ifdef PARKMARQ_BATCH_EXE

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "platform/folder_lock.h"
#include "platform/text_file.h"
#include "programs/run_program.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using programs_test::RunProgram;
using testing_support::ReadAll;
using testing_support::TempFolder;

const std::string kHeader = "stand,template,heading,stop,visibility,lateral";
const std::string kGoodRows =
    "A1,Docking display T1 (all parameters),90,20,500,10\n"
    "A2,Nose-in sign (heading only),180,,,\n";

// A copy of the built application folder: the program, the compiler and the templates.
class BatchProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path built = fs::path(PARKMARQ_BATCH_EXE).parent_path();
    fs::copy_file(PARKMARQ_BATCH_EXE, app_.Path() / "parkmarq-batch");
    fs::create_directories(app_.Path() / "tools");
    fs::copy_file(built / "tools" / "bglc_9.exe", app_.Path() / "tools" / "bglc_9.exe");
    fs::copy(built / "vgds_source", app_.Path() / "vgds_source", fs::copy_options::recursive);
    fs::create_directories(work_.Path() / "out");
  }

  [[nodiscard]] std::string Program() const { return (app_.Path() / "parkmarq-batch").string(); }
  [[nodiscard]] std::string Work(const std::string& name) const { return (work_.Path() / name).string(); }

  TempFolder app_;
  TempFolder work_;
};

TEST_F(BatchProgramTest, ExitStatusAndWhatItSays) {
  work_.Write("good.csv", kHeader + "\n" + kGoodRows);
  work_.Write("mixed.csv", kHeader + "\n" + kGoodRows + "A3,Docking display T9,1,2,3,4\n");
  work_.Write("columns.csv", "stand,template,heading\nA1,x,1\n");
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    int exitStatus;
    std::string says;
  } cases[] = {
      {"help", {"--help"}, 0, "Usage: parkmarq-batch STANDS [--out DIR]"},
      {"nothing to do", {}, 2, "parkmarq-batch: no stand table given"},
      {"unknown option", {"--fast", Work("good.csv")}, 2, "parkmarq-batch: unknown option --fast"},
      {"two tables", {Work("good.csv"), Work("mixed.csv")}, 2, "only one stand table can be built at a time"},
      {"list with a table", {"--list", Work("good.csv")}, 2, "--list takes nothing else"},
      {"out without a folder", {Work("good.csv"), "--out"}, 2, "--out needs a folder"},
      {"out twice", {Work("good.csv"), "--out", Work("out"), "--out=" + Work("out")}, 2, "--out is given twice"},
      {"missing table", {Work("none.csv")}, 2, "cannot read the stand table: "},
      {"missing columns", {Work("columns.csv")}, 2, "line 1: the header has no column \"stop\""},
      {"missing output folder", {Work("good.csv"), "--out", Work("nowhere")}, 2, "is no existing folder"},
      {"every row built", {Work("good.csv"), "--out", Work("out")}, 0, "2 stands: 2 built, 0 failed\n"},
      {"a row failed", {Work("mixed.csv"), "--out=" + Work("out")}, 1, "3 stands: 2 built, 1 failed (row 3)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = RunProgram(Program(), c.arguments);
    ASSERT_TRUE(run.started);
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitStatus, c.exitStatus) << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
  }
  EXPECT_TRUE(fs::exists(Work("out/safedock_t1_h90_s20_l10.mdl")));
  EXPECT_TRUE(fs::exists(Work("out/nose_in_h180.mdl")));
}

TEST_F(BatchProgramTest, ListsTheTemplatesInTheWindowsOrder) {
  // The window lists templates in the order the folder is read, so the listing must too.
  const std::string folder = (app_.Path() / "vgds_source").string();
  std::vector<std::string> names;
  for (const auto& file : platform::FileSystem().ListFiles(folder)) {
    if (file.ends_with(".vgp")) names.push_back(platform::ReadTextLines(folder + "/" + file).at(4));
  }
  ASSERT_EQ(names.size(), 5u);
  const auto run = RunProgram(Program(), {"--list"});
  ASSERT_EQ(run.exitStatus, 0) << run.output;
  const auto lines = platform::SplitLines(run.output);
  ASSERT_EQ(lines.size(), names.size()) << run.output;
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("  " + std::to_string(i + 1) + "  " + names[i] + " ", 0), 0u) << lines[i];
  }
}

TEST_F(BatchProgramTest, WhereModelsGo) {
  // A row's own output is read from the table's folder; the others go to the remembered folder.
  work_.Write("tables/t.csv", kHeader + ",output\n" +
                                  "A1,Docking display T1 (all parameters),90,20,500,10,models/a1.mdl\n"
                                  "A2,Nose-in sign (heading only),180,,,,\n");
  fs::create_directories(work_.Path() / "tables" / "models");
  app_.Write("parkmarq.ini", Work("out") + "\r\n");
  const auto run = RunProgram(Program(), {Work("tables/t.csv")});
  EXPECT_EQ(run.exitStatus, 0) << run.output;
  EXPECT_TRUE(fs::exists(Work("tables/models/a1.mdl"))) << run.output;
  EXPECT_TRUE(fs::exists(Work("out/nose_in_h180.mdl"))) << run.output;
  EXPECT_NE(run.output.find("[2/2] A2 ... built " + Work("out/nose_in_h180.mdl") + "\n"), std::string::npos)
      << run.output;

  app_.Write("parkmarq.ini", Work("gone") + "\r\n");
  const auto gone = RunProgram(Program(), {Work("tables/t.csv")});
  EXPECT_EQ(gone.exitStatus, 2) << gone.output;
  EXPECT_NE(gone.output.find("the default output folder in parkmarq.ini, \"" + Work("gone") + "\", is no existing"),
            std::string::npos)
      << gone.output;
}

// The program started in the background, killed when the test ends before it does.
class Background {
 public:
  Background(const std::string& program, const std::vector<std::string>& arguments, const std::string& log) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Background() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;

  [[nodiscard]] bool Started() const { return pid_ > 0; }
  [[nodiscard]] bool Running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

  // The exit status once it has ended within timeout; -1 when it did not (it is then killed).
  int Wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
};

TEST_F(BatchProgramTest, WaitsWhileAnotherBuildHoldsTheToolsFolder) {
  work_.Write("good.csv", kHeader + "\n" + kGoodRows);
  std::optional<platform::FolderLock> windowBuild = platform::FolderLock::Wait((app_.Path() / "tools").string());
  Background batch(Program(), {Work("good.csv"), "--out", Work("out")}, Work("batch.log"));
  ASSERT_TRUE(batch.Started());

  // A row takes a few milliseconds once it has the folder; half a second without one is waiting.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_TRUE(batch.Running()) << ReadAll(Work("batch.log"));
  EXPECT_FALSE(fs::exists(Work("out/safedock_t1_h90_s20_l10.mdl")));
  EXPECT_FALSE(fs::exists(app_.Path() / "tools" / "safedock_t1.asm")) << "it touched the working files";

  windowBuild.reset();
  EXPECT_EQ(batch.Wait(std::chrono::seconds(30)), 0) << ReadAll(Work("batch.log"));
  EXPECT_TRUE(fs::exists(Work("out/safedock_t1_h90_s20_l10.mdl")));
  EXPECT_TRUE(fs::exists(Work("out/nose_in_h180.mdl")));
}

}  // namespace

#endif  // PARKMARQ_BATCH_EXE
