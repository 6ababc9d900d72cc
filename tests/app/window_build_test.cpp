#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/window_fixture.h"
#include "platform/window_messages.h"
#include "support/link_server_process.h"
#include "support/unique_namespace.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

using WindowBuildTest = WindowTest;

// Records the caption of the button it watches each time the button is painted.
struct PaintedCaptions final : QObject {
  std::vector<QString> captions;
  bool eventFilter(QObject* button, QEvent* event) override {
    if (event->type() == QEvent::Paint) captions.push_back(static_cast<QPushButton*>(button)->text());
    return false;
  }
};

// The one build through the window: its logic has its own tests, so here the typed values reach it, and
// while the compiler runs the window repaints, drops what the user does and closes only afterwards.
TEST_F(WindowBuildTest, CreateNewMdlBuildsWhileTheWindowRepaintsButTakesNoInputAndClosesOnlyAfterwards) {
  // The demo catalogue and the stand-in compiler, started through a script that first waits a second.
  testing_support::CopyApplicationFolder(PARKMARQ_APP_DIR, app.Path());
  fs::rename(app.Path() / "tools" / "bglc_9.exe", app.Path() / "tools" / "bglc_real");
  fs::permissions(app.Write("tools/bglc_9.exe", "#!/bin/sh\nsleep 1\nexec \"$(dirname \"$0\")/bglc_real\" \"$@\"\n"),
                  fs::perms::owner_all);
  Start();
  form->lst_vgds->setCurrentItem(
      form->lst_vgds->findItems(QStringLiteral("Guidance display (all parameters)"), Qt::MatchExactly).first());
  form->txt_heading->setText(QStringLiteral("90"));
  const int selected = form->lst_vgds->currentRow();
  const auto output = app.Path() / "out dir" / "stand 1.mdl";  // blanks stay one argument
  fs::create_directory(output.parent_path());
  dialogs.saveAnswers.push_back(QString::fromStdString(output.string()));
  PaintedCaptions painted;
  form->cmd_create->installEventFilter(&painted);

  bool openMeanwhile = false;
  QTimer::singleShot(300, form.get(), [&] {
    // A second build, another template, a typed value and closing the window, all during the compile.
    QTest::mouseClick(form->cmd_create, Qt::LeftButton);
    QTest::keyClick(form->cmd_create, Qt::Key_Space);
    form->cmd_create->click();
    const QRect other = form->lst_vgds->visualItemRect(form->lst_vgds->item(selected == 0 ? 1 : 0));
    QTest::mouseClick(form->lst_vgds->viewport(), Qt::LeftButton, {}, other.center());
    QTest::keyClick(form->lst_vgds, Qt::Key_Down);
    QTest::keyClicks(form->txt_heading, QStringLiteral("9"));
    form->close();
    openMeanwhile = form->isVisible();
  });
  form->cmd_create->click();

  // Painted with the build's caption, so during the build.
  EXPECT_NE(std::ranges::find(painted.captions, QStringLiteral("Compiling ...")), painted.captions.end());
  EXPECT_TRUE(openMeanwhile);
  ASSERT_EQ(dialogs.saveRequests.size(), 1U);
  EXPECT_EQ(dialogs.saveRequests[0].initialName, QStringLiteral("guidance_display_h90_s20_l10.mdl"));
  EXPECT_EQ(form->lst_vgds->currentRow(), selected);
  EXPECT_EQ(form->txt_heading->text(), QStringLiteral("90"));
  EXPECT_EQ(ReadAll(output).substr(0, 4), "RIFF") << ReadAll(app.Path() / "tools" / "compile.log");
  EXPECT_TRUE(dialogs.boxes.empty());
  // The close asked for during the compile happens once it has ended, shut-down included.
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "\r\n");
}

// The link's failures are the window logic's and the link client's tests.
TEST_F(WindowTest, FsWritesTheServersHeadingAlsoIntoADisabledField) {
  const std::string prefix = testing_support::UniqueNamespace();
  platform::SetWindowMessagesForTesting(prefix, std::chrono::milliseconds(1500));
  AddTemplate("a", testing_support::kNoParameters, "Fixed");
  const testing_support::LinkServerProcess server(prefix, {"--var", "86=123.4565"});
  Start();
  ASSERT_FALSE(form->txt_heading->isEnabled());
  form->cmd_heading_fs->click();
  EXPECT_EQ(form->txt_heading->text(), QStringLiteral(" 123.456"));
  EXPECT_TRUE(dialogs.boxes.empty());
  platform::SetWindowMessagesForTesting("");
}

}  // namespace
