#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/window_fixture.h"
#include "platform/window_messages.h"
#include "support/link_server_process.h"
#include "support/unique_namespace.h"

namespace {

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
