#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/win32/window_fixture.h"
#include "platform/window_messages.h"
#include "support/link_server_process.h"
#include "support/unique_namespace.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

using Win32WindowBuildTest = Win32WindowTest;

// The caption of the watched button each time it paints; the window is gone before the test ends.
std::vector<std::string> paintedCaptions;
WNDPROC buttonProc = nullptr;
LRESULT CALLBACK RecordPaint(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    char caption[64] = {};
    GetWindowTextA(button, caption, sizeof caption);
    paintedCaptions.emplace_back(caption);
  }
  return CallWindowProcA(buttonProc, button, message, wParam, lParam);
}

// The one build through the window: its logic has its own tests, so here the typed values reach it,
// boxes and dialogs are modal to it, and while the compiler runs the window repaints, drops what the user
// does and closes only afterwards.
TEST_F(Win32WindowBuildTest, CreateNewMdlBuildsWhileTheWindowRepaintsButTakesNoInputAndClosesOnlyAfterwards) {
  testing_support::CopyApplicationFolder(PARKMARQ_APP_DIR, app.Path());  // the demo catalogue and compiler
  Start();
  Select("Guidance display (all parameters)");
  EXPECT_GT(form->img_vgds.PictureSize().cx, 0);
  SetText(Control::txt_heading, "361");  // a refusal's box, owned by the window
  Click(Control::cmd_create);
  EXPECT_EQ(std::pair(dialogs.boxes.size(), dialogs.owners.back()), std::pair(std::size_t{1}, form->Handle()));
  dialogs.boxes.clear();
  SetText(Control::txt_heading, "90");
  const int selected = SelectedRow();
  buttonProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(Handle(Control::cmd_create), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordPaint)));
  const auto output = app.Path() / "out dir" / "stand 1.mdl";  // blanks stay one argument
  fs::create_directory(output.parent_path());
  dialogs.saveAnswers.push_back(output.string());
  // Typing, another template and a click on the button, all waiting for the window during the build.
  dialogs.whileSaving = [&] {
    PostMessageA(Handle(Control::txt_heading), WM_CHAR, '9', 1);
    PostMessageA(Handle(Control::lst_vgds), WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(Handle(Control::cmd_create), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(Handle(Control::cmd_create), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  };
  Click(Control::cmd_create);
  DispatchWaiting();

  EXPECT_NE(std::ranges::find(paintedCaptions, "Compiling ..."), paintedCaptions.end());
  EXPECT_EQ(Text(Control::cmd_create), "Create new MDL");
  EXPECT_EQ(Text(Control::txt_heading), "90");
  EXPECT_EQ(SelectedRow(), selected);
  ASSERT_EQ(dialogs.saveRequests.size(), 1U);
  EXPECT_EQ(dialogs.saveRequests[0].initialName, "guidance_display_h90_s20_l10.mdl");
  EXPECT_EQ(dialogs.owners.back(), form->Handle());
  EXPECT_EQ(ReadAll(output).substr(0, 4), "RIFF") << ReadAll(app.Path() / "tools" / "compile.log");

  // A close asked for during the build happens once it has ended, shut-down included.
  dialogs.saveAnswers.push_back(output.string());
  dialogs.whileSaving = [&] { PostMessageA(form->Handle(), WM_CLOSE, 0, 0); };
  Click(Control::cmd_create);
  EXPECT_EQ(form->Handle(), nullptr);
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "\r\n");
  for (const auto& box : dialogs.boxes) ADD_FAILURE() << box.title << ": " << box.text;
}

// The link's failures are the window logic's and the link client's tests.
TEST_F(Win32WindowTest, FsWritesTheWindowsLinkServersHeadingAlsoIntoADisabledField) {
  const std::string prefix = testing_support::UniqueNamespace();
  platform::SetWindowMessagesForTesting(prefix, std::chrono::milliseconds(1500));
  AddTemplate("a", testing_support::kNoParameters, "Fixed");
  const testing_support::LinkServerProcess server(prefix, {"--var", "86=123.4565"});
  Start();
  ASSERT_FALSE(IsWindowEnabled(Handle(Control::txt_heading)));
  Click(Control::cmd_heading_fs);
  EXPECT_EQ(Text(Control::txt_heading), " 123.456");
  EXPECT_TRUE(dialogs.boxes.empty());
  platform::SetWindowMessagesForTesting("");
}

}  // namespace
