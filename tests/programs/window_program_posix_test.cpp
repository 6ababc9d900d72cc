#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "helpers/process_probe.h"
#include "support/temp_folder.h"

// The Qt window as started by the user, offscreen, asked to end by the system.
namespace {

// Whether the process has a handler installed for signal, as /proc shows it.
bool Catches(pid_t process, int signal) {
  std::ifstream status("/proc/" + std::to_string(process) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("SigCgt:")) return ((std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1U) != 0;
  }
  return false;
}

TEST(WindowProgram, SigtermAndSighupCloseTheWindowAsACloseDoesSoTheSettingsAreWritten) {
  const test_helpers::Watchdog watchdog(std::chrono::seconds(60));  // also when the window never takes the signal
  for (const int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const testing_support::TempFolder app;
    const std::string program = (app.Path() / "parkmarq").string();
    std::filesystem::copy_file(PARKMARQ_EXE, program);
    for (const char* folder : {"vgds_source", "tools"}) std::filesystem::create_directory(app.Path() / folder);
    app.Write("parkmarq.ini", "/models/\r\nleft over\r\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // ended with this test, however it ends
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    while (!Catches(child, signal)) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(child, signal);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(testing_support::ReadAll(app.Path() / "parkmarq.ini"), "/models/\r\n");
  }
}

}  // namespace
