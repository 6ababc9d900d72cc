#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/temp_folder.h"

// parkmarq.exe itself, started in an application folder of its own, as the user starts it. This
// program opens no window of its own: ending the session reaches every window of the Wine prefix.
namespace {

namespace fs = std::filesystem;

class ProgramWindowTest : public ::testing::Test {
 protected:
  testing_support::TempFolder app;
  PROCESS_INFORMATION program{};

  void SetUp() override {
    fs::copy_file(PARKMARQ_EXE, app.Path() / "parkmarq.exe");
    for (const char* folder : {"vgds_source", "tools"}) fs::create_directory(app.Path() / folder);
  }
  void TearDown() override {
    TerminateProcess(program.hProcess, 1);
    WaitForSingleObject(program.hProcess, 10000);
    CloseHandle(program.hThread);
    CloseHandle(program.hProcess);
  }
  // Starts parkmarq.exe with this process's environment and waits up to 30 s for its first visible
  // top-level window of the class; null when none came.
  HWND StartAndWaitFor(const char* className) {
    std::string command = "\"" + (app.Path() / "parkmarq.exe").string() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, app.Str().c_str(), &startup,
                       &program) == FALSE) {
      return nullptr;
    }
    for (int tries = 0; tries < 300; ++tries, std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
      for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == program.dwProcessId && IsWindowVisible(window) != FALSE) return window;
      }
    }
    return nullptr;
  }
};

TEST_F(ProgramWindowTest, EndingTheSessionRunsTheShutDownSequence) {
  app.Write("parkmarq.ini", "D:\\Models\\\r\nleft over\r\n");
  ASSERT_NE(StartAndWaitFor("ParkmarqForm1"), nullptr);
  _spawnlp(_P_WAIT, "wineboot.exe", "wineboot.exe", "--end-session", nullptr);
  EXPECT_EQ(WaitForSingleObject(program.hProcess, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(testing_support::ReadAll(app.Path() / "parkmarq.ini"), "D:\\Models\\\r\n");
}

TEST_F(ProgramWindowTest, AnApplicationFolderThatCannotBePreparedIsReportedInTheOpenWindow) {
  // An installed copy works in the user's data folder, which cannot be found without LOCALAPPDATA.
  app.Write(PARKMARQ_INSTALLED_MARKER, "");
  SetEnvironmentVariableA("LOCALAPPDATA", nullptr);  // in the environment the program inherits
  const HWND box = StartAndWaitFor("#32770");
  ASSERT_NE(box, nullptr);
  char owner[64] = {};
  GetClassNameA(GetWindow(box, GW_OWNER), owner, sizeof owner);
  EXPECT_STREQ(owner, "ParkmarqForm1") << "the box belongs to the open window";
  char text[4096] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text
  EXPECT_NE(std::string(text).find("LOCALAPPDATA is not set"), std::string::npos) << text;
}

}  // namespace
