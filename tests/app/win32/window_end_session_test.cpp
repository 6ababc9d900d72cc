#include <filesystem>

#include "app/win32/window_fixture.h"

namespace {

namespace fs = std::filesystem;

// Ending the session during a build is a close: the build finishes first, then shut-down runs.
TEST_F(Win32WindowTest, EndingTheSessionDuringABuildClosesTheWindowOnceTheModelIsBuilt) {
  fs::copy(fs::path(PARKMARQ_APP_DIR) / "vgds_source", app.Path() / "vgds_source");
  fs::create_directory(app.Path() / "tools");
  fs::copy_file(fs::path(PARKMARQ_APP_DIR) / "tools" / "bglc_9.exe", app.Path() / "tools" / "bglc_9.exe");
  Start();
  const auto output = app.Path() / "model.mdl";
  dialogs.saveAnswers.push_back(output.string());
  dialogs.whileSaving = [&] {
    PostMessageA(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    PostMessageA(form->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  };
  Click(Control::cmd_create);
  EXPECT_EQ(testing_support::ReadAll(output).substr(0, 4), "RIFF");
  EXPECT_EQ(form->Handle(), nullptr);
  EXPECT_EQ(testing_support::ReadAll(app.Path() / "parkmarq.ini"), "\r\n");
  for (const auto& box : dialogs.boxes) ADD_FAILURE() << box.title << ": " << box.text;
}

}  // namespace
