#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

// parkmarq.exe itself, started in an application folder of its own, as the user starts it. This
// program opens no window of its own: ending the session reaches every window of the Wine prefix.
namespace {

namespace fs = std::filesystem;
using std::chrono_literals::operator""ms;

class Program {
 public:
  // Starts folder/parkmarq.exe with the environment less the variable named unset, if any.
  Program(const fs::path& folder, const char* unset = nullptr) {
    std::vector<char> environment;
    const char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::string(entry).size() + 1) {
      if (unset != nullptr && std::string(entry).starts_with(std::string(unset) + "=")) continue;
      environment.insert(environment.end(), entry, entry + std::string(entry).size() + 1);
    }
    environment.push_back('\0');
    FreeEnvironmentStringsA(const_cast<char*>(strings));
    std::string command = "\"" + (folder / "parkmarq.exe").string() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, environment.data(), folder.string().c_str(),
                       &startup, &process_) == FALSE) {
      throw std::runtime_error("cannot start " + command);
    }
  }
  ~Program() {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The program's first top-level window of the class, waiting up to 30 s for it; null when none came.
  [[nodiscard]] HWND WaitForWindow(const char* className) const {
    for (int tries = 0; tries < 300; ++tries) {
      Search search{process_.dwProcessId, className, nullptr};
      EnumWindows(&Search::Visit, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr) return search.found;
      std::this_thread::sleep_for(100ms);
    }
    return nullptr;
  }
  [[nodiscard]] bool Ended(DWORD milliseconds) const {
    return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
  }

 private:
  struct Search {
    DWORD process;
    const char* className;
    HWND found;
    static BOOL CALLBACK Visit(HWND window, LPARAM data) {
      auto& search = *reinterpret_cast<Search*>(data);
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      char name[64] = {};
      GetClassNameA(window, name, sizeof name);
      if (owner != search.process || std::string(name) != search.className || IsWindowVisible(window) == FALSE) {
        return TRUE;
      }
      search.found = window;
      return FALSE;
    }
  };
  PROCESS_INFORMATION process_{};
};

// Every text shown by the box's static controls.
std::string BoxText(HWND box) {
  std::string text;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM data) -> BOOL {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "Static") == 0) {
          char part[4096] = {};
          GetWindowTextA(child, part, sizeof part);
          *reinterpret_cast<std::string*>(data) += part;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

class ProgramWindowTest : public ::testing::Test {
 protected:
  testing_support::TempFolder app;

  void SetUp() override {
    fs::copy_file(PARKMARQ_EXE, app.Path() / "parkmarq.exe");
    fs::create_directories(app.Path() / "vgds_source");
    fs::create_directories(app.Path() / "tools");
  }
};

TEST_F(ProgramWindowTest, EndingTheSessionRunsTheShutDownSequence) {
  app.Write("parkmarq.ini", "D:\\Models\\\r\nleft over\r\n");
  const Program program(app.Path());
  ASSERT_NE(program.WaitForWindow("ParkmarqForm1"), nullptr);

  std::string command = "wineboot.exe --end-session";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION wineboot{};
  ASSERT_NE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &wineboot),
            FALSE);
  EXPECT_EQ(WaitForSingleObject(wineboot.hProcess, 60000), WAIT_OBJECT_0);
  CloseHandle(wineboot.hThread);
  CloseHandle(wineboot.hProcess);

  EXPECT_TRUE(program.Ended(10000));
  EXPECT_EQ(testing_support::ReadAll(app.Path() / "parkmarq.ini"), "D:\\Models\\\r\n");
}

TEST_F(ProgramWindowTest, AnApplicationFolderThatCannotBePreparedIsReportedInTheOpenWindow) {
  // An installed copy works in the user's data folder, which cannot be found without LOCALAPPDATA.
  app.Write(PARKMARQ_INSTALLED_MARKER, "");
  const Program program(app.Path(), "LOCALAPPDATA");
  const HWND box = program.WaitForWindow("#32770");
  ASSERT_NE(box, nullptr);
  const HWND owner = GetWindow(box, GW_OWNER);
  char ownerClass[64] = {};
  GetClassNameA(owner, ownerClass, sizeof ownerClass);
  EXPECT_STREQ(ownerClass, "ParkmarqForm1") << "the box belongs to the open window";
  EXPECT_NE(BoxText(box).find("LOCALAPPDATA is not set"), std::string::npos) << BoxText(box);
}

}  // namespace
