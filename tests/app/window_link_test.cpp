#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/window_fixture.h"
#include "platform/window_messages.h"
#include "simlink/link_server_process.h"
#include "simlink/test_namespace.h"

namespace {

class WindowLinkTest : public WindowTest {
 protected:
  void SetUp() override {
    prefix = simlink_testing::UniqueNamespace();
    platform::SetWindowMessagesForTesting(prefix, std::chrono::milliseconds(1500));
    AddTemplate("a_heading", "True\r\nFalse\r\nFalse\r\nFalse\r\n", "Heading", "none.png");
    AddTemplate("b_fixed", "False\r\nFalse\r\nFalse\r\nFalse\r\n", "Fixed", "none.png");
  }
  void TearDown() override { platform::SetWindowMessagesForTesting(""); }
  std::string prefix;
};

TEST_F(WindowLinkTest, FsWritesTheServersHeadingAlsoIntoADisabledField) {
  simlink_testing::LinkServerProcess server(prefix, {"--var", "86=123.4565"});
  Start();
  form->cmd_heading_fs->click();
  EXPECT_EQ(form->txt_heading->text(), QStringLiteral(" 123.456"));  // single precision, then half to even

  form->lst_vgds->setCurrentItem(form->lst_vgds->findItems(QStringLiteral("Fixed"), Qt::MatchExactly).first());
  ASSERT_FALSE(form->txt_heading->isEnabled());
  form->txt_heading->setText(QStringLiteral("7"));
  form->cmd_heading_fs->click();
  EXPECT_EQ(form->txt_heading->text(), QStringLiteral(" 123.456"));
  EXPECT_TRUE(dialogs.boxes.empty());
}

// A refusal or a silent server takes the same way (the link client's tests).
TEST_F(WindowLinkTest, WithoutAServerNothingChangesAndNothingIsShown) {
  Start();
  form->txt_heading->setText(QStringLiteral("42"));
  form->cmd_heading_fs->click();
  EXPECT_EQ(form->txt_heading->text(), QStringLiteral("42"));
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowLinkTest, AMalformedReplyIsReportedNamingTheLinkAndTheHeadingKeepsItsText) {
  simlink_testing::LinkServerProcess server(prefix, {"--reply", "ZZ"});
  Start();
  form->txt_heading->setText(QStringLiteral("42"));
  form->cmd_heading_fs->click();
  EXPECT_EQ(form->txt_heading->text(), QStringLiteral("42"));
  ASSERT_EQ(dialogs.boxes.size(), 1U);
  EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("parkmarq"));
  EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("link"), Qt::CaseInsensitive));
}

}  // namespace
