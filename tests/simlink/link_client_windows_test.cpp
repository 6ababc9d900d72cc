// The link client against the link server program over real window messages and global atoms; the server
// counts its reply atoms that still exist when it stops.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "helpers/process_probe.h"
#include "platform/window_messages.h"
#include "simlink/fs_connect.h"
#include "support/link_server_process.h"
#include "support/unique_namespace.h"

namespace {

using testing_support::LinkServerProcess;
constexpr std::chrono::milliseconds kTestTimeout{1500};

class LinkClientWindowsTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::SetWindowMessagesForTesting(""); }
  // Points the client at a namespace of its own, for a server of its own.
  std::string Namespace() {
    const std::string prefix = testing_support::UniqueNamespace();
    platform::SetWindowMessagesForTesting(prefix, kTestTimeout);
    return prefix;
  }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(60)};
  simlink::FSConnect link_;
  std::string head = "kept", tail = "kept", replyText;
  std::int32_t first = 5, second = 6, leadWord = 0;
};

TEST_F(LinkClientWindowsTest, RepliesArriveAndEveryAtomIsFreed) {
  LinkServerProcess server(Namespace(), {"--var", "86=90"});
  ASSERT_EQ(link_.fscGetInfo(head, tail, first, second), simlink::kReplyDecoded);
  EXPECT_EQ(head, "PMQLS");
  double value = 0;
  ASSERT_EQ(link_.fscReadVariable(86, "n", value, replyText, leadWord), simlink::kReplyDecoded);
  EXPECT_EQ(value, 90.0);
  const std::string printed = server.Stop();
  EXPECT_NE(printed.find("stopped: 2 atoms released, 0 atoms left"), std::string::npos) << printed;
}

// Every case ends within the time-out with the result the protocol gives, the outputs untouched.
TEST_F(LinkClientWindowsTest, ServersThatGiveNoReply) {
  const std::pair<const char*, std::int16_t> cases[] = {{nullptr, simlink::kNoServer},
                                                        {"--answer 0", simlink::kNoServer},
                                                        {"--answer 7", 7},
                                                        {"--hang", simlink::kNoServer}};
  for (const auto& [options, result] : cases) {
    SCOPED_TRACE(options ? options : "no server");
    const std::string prefix = Namespace();
    std::optional<LinkServerProcess> server;
    if (options != nullptr) server.emplace(prefix, std::vector<std::string>{options});
    EXPECT_EQ(link_.fscGetInfo(head, tail, first, second), result);
    EXPECT_EQ(head + tail + std::to_string(first) + std::to_string(second), "keptkept56");
  }
}

}  // namespace
