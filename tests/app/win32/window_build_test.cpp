#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/win32/window_fixture.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

// The demo catalogue and the stand-in compiler of the built application folder, in a fresh folder.
class Win32WindowBuildTest : public Win32WindowTest {
 protected:
  void SetUp() override {
    fs::copy(fs::path(PARKMARQ_APP_DIR) / "vgds_source", app.Path() / "vgds_source");
    fs::create_directory(app.Path() / "tools");
    fs::copy_file(fs::path(PARKMARQ_APP_DIR) / "tools" / "bglc_9.exe", app.Path() / "tools" / "bglc_9.exe");
  }
};

TEST_F(Win32WindowBuildTest, CreateNewMdlBuildsTheModelFromTheTypedValuesAndRefusalsAreReportedInTheirWords) {
  Start();
  Select("Guidance display (all parameters)");
  SetText(Control::txt_stopdistance, "0.5");
  SetText(Control::txt_lateraldistance, "-1");

  // Each refusal: one box titled "Parkmarq error", modal to the window, and nothing written.
  const struct {
    Control field;
    const char* text;
    const char* message;
  } refusals[] = {
      {Control::txt_heading, "361", "Please enter a heading between 0 and 360 degrees"},
      {Control::txt_heading, "abc", "Please enter a heading between 0 and 360 degrees"},
      {Control::txt_stopdistance, "0", "Please enter a stop distance greater than 0 meters"},
  };
  for (const auto& refusal : refusals) {
    SCOPED_TRACE(refusal.text);
    dialogs.boxes.clear();
    const std::string kept = Text(refusal.field);
    SetText(refusal.field, refusal.text);
    Click(Control::cmd_create);
    SetText(refusal.field, kept);
    ASSERT_EQ(dialogs.boxes.size(), 1U);
    EXPECT_EQ(dialogs.boxes[0].title, "Parkmarq error");
    EXPECT_EQ(dialogs.boxes[0].text, refusal.message);
    EXPECT_EQ(dialogs.owners.back(), form->Handle());
    EXPECT_FALSE(fs::exists(app.Path() / "tools" / "guidance_display_0.asm"));
  }
  dialogs.boxes.clear();

  SetText(Control::txt_heading, "90");
  const auto output = app.Path() / "out dir" / "stand 1.mdl";  // blanks stay one argument
  fs::create_directory(output.parent_path());
  dialogs.saveAnswers.push_back(output.string());
  Click(Control::cmd_create);

  ASSERT_EQ(dialogs.saveRequests.size(), 1U);
  EXPECT_EQ(dialogs.saveRequests[0].title, "Select output MDL file");
  EXPECT_EQ(dialogs.saveRequests[0].filter, "MDL file (*.mdl)|*.mdl|");
  EXPECT_EQ(dialogs.saveRequests[0].initialName, "guidance_display_h90_s0_l-1.mdl");
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(Text(Control::cmd_create), "Create new MDL");
  const std::string model = ReadAll(output);
  EXPECT_EQ(model.substr(0, 4), "RIFF") << ReadAll(app.Path() / "tools" / "compile.log");
  const std::string log = ReadAll(app.Path() / "tools" / "compile.log");
  EXPECT_NE(log.find(output.string()), std::string::npos) << log;
  EXPECT_TRUE(log.ends_with("\r\n\r\n")) << "the runner's final empty chunk adds an empty line";
}

TEST_F(Win32WindowBuildTest, DefaultFolderFromTheBrowserIsTheToolTipAndSurvivesARestart) {
  Start();  // first run: no settings file, no tool tip, and closing writes an empty line
  EXPECT_EQ(FolderToolTip(), "");
  SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(form->Handle()));
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "\r\n");

  Start();
  const struct {
    const char* chosen;
    const char* folder;
  } choices[] = {
      {"C:\\Models", "C:\\Models\\"},
      {"C:\\", "C:\\"},  // the root keeps its single separator
      {"", ""},          // cancelling clears the folder
      {"D:\\Stands", "D:\\Stands\\"},
  };
  for (const auto& choice : choices) {
    SCOPED_TRACE(choice.chosen);
    dialogs.folderAnswers = {choice.chosen};
    Click(Control::cmd_set_folder);
    EXPECT_EQ(dialogs.folderTitles.back(), "Choose a directory from the list.");
    EXPECT_EQ(form->DefaultOutputFolder(), choice.folder);
    EXPECT_EQ(FolderToolTip(), choice.folder);
  }
  SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "D:\\Stands\\\r\n");

  Start();
  EXPECT_EQ(form->DefaultOutputFolder(), "D:\\Stands\\");
  EXPECT_EQ(FolderToolTip(), "D:\\Stands\\");
  Select("Guidance display (all parameters)");
  dialogs.saveAnswers.push_back("");
  Click(Control::cmd_create);
  ASSERT_EQ(dialogs.saveRequests.size(), 1U);
  EXPECT_EQ(dialogs.saveRequests[0].initialName, "D:\\Stands\\guidance_display_h0_s20_l10.mdl");
}

// Records the caption of a button each time it paints.
class PaintedCaptions {
 public:
  explicit PaintedCaptions(HWND button) : button_(button) {
    SetPropA(button, kProperty, this);
    previous_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  }
  ~PaintedCaptions() {
    if (IsWindow(button_) == FALSE) return;
    SetWindowLongPtrA(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(button_, kProperty);
  }
  PaintedCaptions(const PaintedCaptions&) = delete;
  PaintedCaptions& operator=(const PaintedCaptions&) = delete;

  std::vector<std::string> captions;

 private:
  static constexpr const char* kProperty = "PaintedCaptions";

  static LRESULT CALLBACK Proc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<PaintedCaptions*>(GetPropA(button, kProperty));
    if (message == WM_PAINT) {
      char caption[64] = {};
      GetWindowTextA(button, caption, sizeof caption);
      self->captions.emplace_back(caption);
    }
    return CallWindowProcA(self->previous_, button, message, wParam, lParam);
  }

  HWND button_;
  WNDPROC previous_ = nullptr;
};

TEST_F(Win32WindowBuildTest, WhileTheCompilerRunsTheWindowRepaintsButTakesNoInputAndClosesOnlyAfterwards) {
  Start();
  Select("Guidance display (all parameters)");
  const int selected = SelectedRow();
  const PaintedCaptions painted(Handle(Control::cmd_create));
  const auto output = app.Path() / "during.mdl";
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

  EXPECT_NE(std::ranges::find(painted.captions, "Compiling ..."), painted.captions.end());
  EXPECT_EQ(Text(Control::cmd_create), "Create new MDL");
  EXPECT_EQ(Text(Control::txt_heading), "0");
  EXPECT_EQ(SelectedRow(), selected);
  EXPECT_EQ(dialogs.saveRequests.size(), 1U);
  EXPECT_EQ(ReadAll(output).substr(0, 4), "RIFF") << ReadAll(app.Path() / "tools" / "compile.log");

  // A close asked for during the build happens once it has ended, shut-down included.
  dialogs.saveAnswers.push_back(output.string());
  dialogs.whileSaving = [&] { PostMessageA(form->Handle(), WM_CLOSE, 0, 0); };
  Click(Control::cmd_create);
  EXPECT_EQ(form->Handle(), nullptr);
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "\r\n");
  for (const auto& box : dialogs.boxes) ADD_FAILURE() << box.title << ": " << box.text;
}

}  // namespace
