// The link client against the link server program over real window messages and global atoms.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "helpers/process_probe.h"
#include "platform/window_messages.h"
#include "simlink/fs_connect.h"
#include "support/link_server_process.h"
#include "support/unique_namespace.h"

namespace {

constexpr std::chrono::milliseconds kTestTimeout{1500};

using testing_support::LinkServerProcess;

// The atom the server's n-th reply (from 1) went out in, from its line "answered with atom XXXX: ...";
// 0 when no such line comes.
ATOM ReplyAtom(LinkServerProcess& server, int n) {
  constexpr std::string_view kMarker = "with atom ";
  for (;;) {
    const std::string& printed = server.Printed();
    std::size_t at = printed.find(kMarker);
    for (int found = 1; found < n && at != std::string::npos; ++found) at = printed.find(kMarker, at + 1);
    if (at != std::string::npos && printed.find('\n', at) != std::string::npos) {
      return static_cast<ATOM>(std::strtoul(printed.c_str() + at + kMarker.size(), nullptr, 16));
    }
    if (!server.ReadUntil("\n", 5000)) return 0;
  }
}

class LinkClientWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetWindowMessagesForTesting(prefix_, kTestTimeout); }
  void TearDown() override { platform::SetWindowMessagesForTesting(""); }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(60)};
  std::string prefix_ = testing_support::UniqueNamespace();
  simlink::FSConnect link_;
};

TEST_F(LinkClientWindowsTest, RepliesArriveAndEveryAtomIsFreed) {
  LinkServerProcess server(prefix_, {"--var", "86=90"});
  std::string head;
  std::string tail;
  std::int32_t first = 0;
  std::int32_t second = 0;
  ASSERT_EQ(link_.fscGetInfo(head, tail, first, second), simlink::kReplyDecoded);
  EXPECT_EQ(head, "PMQLS");
  const ATOM infoAtom = ReplyAtom(server, 1);
  ASSERT_NE(infoAtom, 0);
  std::array<char, platform::kMaxAtomLength + 1> text;  // a buffer too small fails under Wine
  EXPECT_EQ(::GlobalGetAtomNameA(infoAtom, text.data(), static_cast<int>(text.size())), 0U)
      << "the information reply's atom was not freed";

  double value = 0;
  std::string replyText;
  std::int32_t leadWord = 0;
  ASSERT_EQ(link_.fscReadVariable(86, "n", value, replyText, leadWord), simlink::kReplyDecoded);
  EXPECT_EQ(value, 90.0);
  EXPECT_EQ(leadWord, 86);
  const ATOM readAtom = ReplyAtom(server, 2);
  ASSERT_NE(readAtom, 0);
  EXPECT_EQ(::GlobalGetAtomNameA(readAtom, text.data(), static_cast<int>(text.size())), 0U)
      << "the read reply's atom was not freed";
  const std::string printed = server.Stop();
  EXPECT_NE(printed.find("stopped: 2 atoms released, 0 atoms left"), std::string::npos) << printed;
}

// Every case ends within the time-out with the result the protocol gives, the outputs untouched.
TEST_F(LinkClientWindowsTest, ServersThatGiveNoReply) {
  const struct {
    const char* name;
    const char* options;  // nullptr: no server at all
    std::int16_t result;
  } cases[] = {
      {"no server", nullptr, simlink::kNoServer},
      {"answers 0", "--answer 0", simlink::kNoServer},
      {"answers 7", "--answer 7", 7},
      {"hangs", "--hang", simlink::kNoServer},
  };
  for (const auto& [name, options, result] : cases) {
    SCOPED_TRACE(name);
    prefix_ = testing_support::UniqueNamespace();
    platform::SetWindowMessagesForTesting(prefix_, kTestTimeout);
    std::optional<LinkServerProcess> server;
    if (options != nullptr) server.emplace(prefix_, std::vector<std::string>{options});
    std::string head = "kept";
    std::string tail = "kept";
    std::int32_t first = 5;
    std::int32_t second = 6;
    EXPECT_EQ(link_.fscGetInfo(head, tail, first, second), result);
    EXPECT_EQ(head + tail + std::to_string(first) + std::to_string(second), "keptkept56");
  }
}

}  // namespace
