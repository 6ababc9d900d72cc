#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <filesystem>

#include "app/window_fixture.h"
#include "bglc/demo_layout.h"
#include "bglc/mdl_file.h"
#include "platform/folder_lock.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

// The demo catalogue and the stand-in compiler of the built application folder, in a fresh folder.
class WindowBuildTest : public WindowTest {
 protected:
  void SetUp() override {
    fs::copy(fs::path(PARKMARQ_APP_DIR) / "vgds_source", app.Path() / "vgds_source");
    fs::create_directory(app.Path() / "tools");
    fs::copy_file(fs::path(PARKMARQ_APP_DIR) / "tools" / "bglc_9.exe", app.Path() / "tools" / "bglc_9.exe");
  }

  void SelectTemplate(const char* name) {
    const auto items = form->lst_vgds->findItems(QString::fromUtf8(name), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    form->lst_vgds->setCurrentItem(items.first());
  }

  // The compiler of the application folder, started through a script that first waits this long.
  void SlowDownCompiler(const char* seconds) {
    const auto tools = app.Path() / "tools";
    fs::rename(tools / "bglc_9.exe", tools / "bglc_real");
    app.Write("tools/bglc_9.exe",
              std::string("#!/bin/sh\nsleep ") + seconds + "\nexec \"$(dirname \"$0\")/bglc_real\" \"$@\"\n");
    fs::permissions(tools / "bglc_9.exe", fs::perms::owner_all);
  }

  template <typename T>
  static T At(const std::string& model, std::string_view token) {
    for (const auto& slot : bglc::demo::kParameterSlots) {
      if (slot.token != token) continue;
      T value{};
      std::memcpy(&value, model.data() + bglc::kModelDataOffset + slot.offset, sizeof value);
      return value;
    }
    ADD_FAILURE() << "no slot " << token;
    return T{};
  }
};

TEST_F(WindowBuildTest, CreateNewMdlBuildsTheModelWithTheStandsValuesAndLogsTheCompile) {
  Start();
  SelectTemplate("Guidance display (all parameters)");
  form->txt_heading->setText(QStringLiteral("90"));
  form->txt_stopdistance->setText(QStringLiteral("0.5"));
  form->txt_visibilitydistance->setText(QStringLiteral("499.5"));
  form->txt_lateraldistance->setText(QStringLiteral("-1"));
  const auto output = app.Path() / "out dir" / "stand 1.mdl";  // blanks stay one argument
  fs::create_directory(output.parent_path());
  dialogs.saveAnswers.push_back(QString::fromStdString(output.string()));

  form->cmd_create->click();

  ASSERT_EQ(dialogs.saveRequests.size(), 1U);
  EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Select output MDL file"));
  EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("MDL file (*.mdl)|*.mdl|"));
  EXPECT_EQ(dialogs.saveRequests[0].initialName, QStringLiteral("guidance_display_h90_s0_l-1.mdl"));
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(form->cmd_create->text(), QStringLiteral("Create new MDL"));

  const std::string model = ReadAll(output);
  ASSERT_GT(model.size(), bglc::kModelDataOffset + bglc::demo::kParameterBlockSize);
  EXPECT_EQ(model.substr(0, 4), "RIFF");
  EXPECT_EQ(At<std::int16_t>(model, "NVLH"), 16384);
  EXPECT_EQ(At<std::int16_t>(model, "NVL"), 32767);
  EXPECT_EQ(At<std::int32_t>(model, "VISIBILITY_DISTANCE"), 500);
  EXPECT_EQ(At<std::int32_t>(model, "HEADING_VECTOR_X"), -32768);
  EXPECT_EQ(At<std::int32_t>(model, "HEADING_VECTOR_Y"), 0);
  EXPECT_EQ(At<std::int32_t>(model, "STOP_DISTANCE"), 0);  // 0.5 rounds half to even
  EXPECT_EQ(At<std::int32_t>(model, "LATERAL_DISTANCE"), -1);
  EXPECT_EQ(At<float>(model, "BAR_DISTANCE1"), -0.313F);
  EXPECT_EQ(At<float>(model, "BAR_DISTANCE2"), -0.363F);
  EXPECT_EQ(At<float>(model, "BAR_POSITION1"), 0.264F);  // negative lateral: the other side
  EXPECT_EQ(At<float>(model, "BAR_POSITION2"), 0.236F);

  const std::string log = ReadAll(app.Path() / "tools" / "compile.log");
  EXPECT_NE(log.find(output.string()), std::string::npos) << log;
  EXPECT_TRUE(log.ends_with("\r\n\r\n")) << "the runner's final empty chunk adds an empty line";
  EXPECT_FALSE(fs::exists(app.Path() / "tools" / "temp.asm"));
}

// Records the caption of a button each time it is painted.
class PaintedCaptions final : public QObject {
 public:
  explicit PaintedCaptions(QPushButton* button) : button_(button) { button->installEventFilter(this); }
  std::vector<QString> captions;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) captions.push_back(button_->text());
    return false;
  }

 private:
  QPushButton* button_;
};

TEST_F(WindowBuildTest, WhileTheCompilerRunsTheWindowRepaintsButTakesNoInputAndClosesOnlyAfterwards) {
  SlowDownCompiler("1");
  Start();
  SelectTemplate("Guidance display (all parameters)");
  const int selected = form->lst_vgds->currentRow();
  const auto output = app.Path() / "slow.mdl";
  dialogs.saveAnswers.push_back(QString::fromStdString(output.string()));
  const PaintedCaptions painted(form->cmd_create);

  QString captionMeanwhile;
  bool openMeanwhile = false;
  QTimer::singleShot(300, form.get(), [&] {
    captionMeanwhile = form->cmd_create->text();
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

  EXPECT_EQ(captionMeanwhile.toStdString(), "Compiling ...");
  EXPECT_NE(std::ranges::find(painted.captions, QStringLiteral("Compiling ...")), painted.captions.end());
  EXPECT_TRUE(openMeanwhile);
  EXPECT_EQ(dialogs.saveRequests.size(), 1U);
  EXPECT_EQ(form->lst_vgds->currentRow(), selected);
  EXPECT_EQ(form->txt_heading->text(), QStringLiteral("0"));
  EXPECT_EQ(ReadAll(output).substr(0, 4), "RIFF") << ReadAll(app.Path() / "tools" / "compile.log");
  EXPECT_TRUE(dialogs.boxes.empty());
  // The close asked for during the compile happens once it has ended, shut-down included.
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(ReadAll(app.Path() / "parkmarq.ini"), "\r\n");
}

TEST_F(WindowBuildTest, ACommaLocaleNamesTheFileInItsNotationAndStillBuildsTheModel) {
  Start(build::NumberLocale{",", "."});
  SelectTemplate("Guidance display (all parameters)");
  form->txt_heading->setText(QStringLiteral("45,25"));
  const auto output = app.Path() / "comma.mdl";
  dialogs.saveAnswers.push_back(QString::fromStdString(output.string()));
  form->cmd_create->click();
  ASSERT_EQ(dialogs.saveRequests.size(), 1U);
  EXPECT_EQ(dialogs.saveRequests[0].initialName, QStringLiteral("guidance_display_h45,25_s20_l10.mdl"));
  const std::string model = ReadAll(output);
  ASSERT_FALSE(model.empty()) << ReadAll(app.Path() / "tools" / "compile.log");
  EXPECT_EQ(At<float>(model, "BAR_DISTANCE1"), -0.744F);
  EXPECT_EQ(At<std::int32_t>(model, "HEADING_VECTOR_X"), -23271);  // 45.25 degrees
}

TEST_F(WindowBuildTest, RefusalsCancelAndBrokenSourcesEachEndTheBuildTheirOwnWay) {
  Start();
  SelectTemplate("Guidance display (all parameters)");

  // A bad heading: one box with the validation title, nothing written.
  form->txt_heading->setText(QStringLiteral("361"));
  form->cmd_create->click();
  ASSERT_EQ(dialogs.boxes.size(), 1U);
  EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("Parkmarq error"));
  EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("Please enter a heading between 0 and 360 degrees"));
  EXPECT_FALSE(fs::exists(app.Path() / "tools" / "guidance_display_0.asm"));

  // Cancelling the dialog: sources rewritten, no log, no model.
  form->txt_heading->setText(QStringLiteral("45"));
  dialogs.saveAnswers.push_back(QString());
  form->cmd_create->click();
  EXPECT_TRUE(fs::exists(app.Path() / "tools" / "guidance_display_0.asm"));
  EXPECT_FALSE(fs::exists(app.Path() / "tools" / "compile.log"));
  EXPECT_EQ(dialogs.boxes.size(), 1U);

  // A broken template source: the compiler's errors land in the log, no model is written, and one box
  // says so.
  app.Write("vgds_source/guidance_display_0.asm", "parameter_block:\r\nbroken dw NOT_A_VALUE\r\n");
  const auto output = app.Path() / "broken.mdl";
  dialogs.saveAnswers.push_back(QString::fromStdString(output.string()));
  form->cmd_create->click();
  EXPECT_FALSE(fs::exists(output));
  EXPECT_NE(ReadAll(app.Path() / "tools" / "compile.log").find("error"), std::string::npos);
  EXPECT_EQ(form->cmd_create->text(), QStringLiteral("Create new MDL"));
  ASSERT_EQ(dialogs.boxes.size(), 2U);
  EXPECT_EQ(dialogs.boxes[1].title, QStringLiteral("Parkmarq error"));
}

TEST_F(WindowBuildTest, ABusyToolsFolderIsReportedWithTheApplicationTitleAndNothingWritten) {
  Start();
  SelectTemplate("Guidance display (all parameters)");

  // Another build holds the tools folder: reported, nothing written.
  {
    const auto held = platform::FolderLock::Try((app.Path() / "tools").string());
    ASSERT_TRUE(held.has_value());
    form->cmd_create->click();
  }
  ASSERT_EQ(dialogs.boxes.size(), 1U);
  EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("parkmarq"));
  EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("another build"), Qt::CaseInsensitive))
      << dialogs.boxes[0].text.toStdString();
  EXPECT_FALSE(fs::exists(app.Path() / "tools" / "guidance_display.asm"));
}

}  // namespace
