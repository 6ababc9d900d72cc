#include <optional>
#include <string>

#include "app/win32/window_fixture.h"
#include "platform/window_messages.h"
#include "simlink/fs_connect.h"

namespace {

// The Windows link server program in the background, under a window-class namespace of the test's
// own; ready once its window can be found, closed with the object.
class LinkServer {
 public:
  LinkServer(const std::string& prefix, const std::string& options)
      : className_(platform::WindowMessagesName(simlink::kServerClass)) {
    std::string commandLine = "\"" PARKMARQ_LINKSERVER_PATH "\" --namespace " + prefix + " " + options;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &process_) == FALSE) {
      ADD_FAILURE() << "cannot start " << commandLine;
      return;
    }
    for (int wait = 0; wait < 400 && Window() == nullptr; ++wait) Sleep(25);
    EXPECT_NE(Window(), nullptr) << "the link server's window did not appear";
  }
  ~LinkServer() {
    if (process_.hProcess == nullptr) return;
    if (HWND window = Window()) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  LinkServer(const LinkServer&) = delete;
  LinkServer& operator=(const LinkServer&) = delete;

 private:
  [[nodiscard]] HWND Window() const { return FindWindowA(className_.c_str(), nullptr); }

  std::string className_;
  PROCESS_INFORMATION process_{};
};

class Win32WindowLinkTest : public Win32WindowTest {
 protected:
  void SetUp() override {
    static int tests = 0;
    prefix = "parkmarq-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++tests) + ".";
    platform::SetWindowMessagesForTesting(prefix, std::chrono::milliseconds(1500));
    AddTemplate("a_heading", "True\r\nFalse\r\nFalse\r\nFalse\r\n", "Heading", "none.png");
    AddTemplate("b_fixed", "False\r\nFalse\r\nFalse\r\nFalse\r\n", "Fixed", "none.png");
  }
  void TearDown() override { platform::SetWindowMessagesForTesting(""); }
  std::string prefix;
};

TEST_F(Win32WindowLinkTest, FsWritesTheWindowsLinkServersHeadingAndWithoutAnAnswerChangesNothing) {
  Start();
  const struct {
    const char* name;
    std::optional<std::string> server;  // its options; none for no server at all
    const char* selected;
    const char* heading;  // what txt_heading holds after "FS", typed "42" before
  } cases[] = {
      {"no server", std::nullopt, "Heading", "42"},
      {"the heading", "--var 86=123.4565", "Heading", " 123.456"},  // single precision, then half to even
      {"also into a disabled field", "--var 86=-7.5", "Fixed", "-7.5"},
      {"a refusal", "--answer 7", "Heading", "42"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Select(c.selected);
    SetText(Control::txt_heading, "42");
    std::optional<LinkServer> server;
    if (c.server) server.emplace(prefix, *c.server);
    Click(Control::cmd_heading_fs);
    EXPECT_EQ(Text(Control::txt_heading), c.heading);
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
