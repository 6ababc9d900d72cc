#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/temp_folder.h"

// The Qt window as started by the user, offscreen, asked to end by the system.
namespace {

namespace fs = std::filesystem;
using std::chrono_literals::operator""ms;

// Whether the process has a handler installed for signal, as /proc shows it.
bool Catches(pid_t process, int signal) {
  std::ifstream status("/proc/" + std::to_string(process) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("SigCgt:")) return ((std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1U) != 0;
  }
  return false;
}

// The exit status, or -1 when the process did not exit by itself within 30 s (it is killed then).
int ExitStatus(pid_t process) {
  int status = 0;
  for (int tries = 0; tries < 300; ++tries) {
    if (::waitpid(process, &status, WNOHANG) == process) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(100ms);
  }
  ::kill(process, SIGKILL);
  ::waitpid(process, &status, 0);
  return -1;
}

TEST(WindowProgram, SigtermAndSighupCloseTheWindowAsACloseDoesSoTheSettingsAreWritten) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const testing_support::TempFolder app;
    fs::copy_file(PARKMARQ_EXE, app.Path() / "parkmarq");
    fs::create_directories(app.Path() / "vgds_source");
    fs::create_directories(app.Path() / "tools");
    app.Write("parkmarq.ini", "/models/\r\nleft over\r\n");
    const std::string program = (app.Path() / "parkmarq").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    bool ready = false;
    for (int tries = 0; tries < 300 && !(ready = Catches(child, signal)); ++tries) std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(ready) << "the window never took the signal";
    ::kill(child, signal);
    EXPECT_EQ(ExitStatus(child), 0);
    EXPECT_EQ(testing_support::ReadAll(app.Path() / "parkmarq.ini"), "/models/\r\n");
  }
}

}  // namespace
