// The link client against the project's own link server program, one server process per case.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/window_messages.h"
#include "simlink/fs_connect.h"
#include "simlink/heading_button.h"
#include "simlink/link_server_process.h"
#include "simlink/test_namespace.h"
#include "simlink/watchdog.h"

namespace simlink {
namespace {

using simlink_testing::CountLines;
using simlink_testing::LinkServerProcess;

// Outputs filled with values no reply produces, to see whether a request touched them.
struct Outputs {
  std::string infoHead = "head?";
  std::string infoTail = "tail?";
  std::int32_t infoNumber1 = -77;
  std::int32_t infoNumber2 = -78;
  float value = -99.5F;
  std::string replyText = "reply?";
  std::int32_t leadWord = -79;

  [[nodiscard]] bool Untouched() const { return *this == Outputs{}; }
  bool operator==(const Outputs&) const = default;
};

class LinkServerTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetWindowMessagesForTesting(prefix_); }
  void TearDown() override { platform::SetWindowMessagesForTesting(""); }

  LinkServerProcess StartServer(const std::vector<std::string>& options) { return LinkServerProcess(prefix_, options); }
  std::int16_t GetInfo(Outputs& out) {
    return link_.fscGetInfo(out.infoHead, out.infoTail, out.infoNumber1, out.infoNumber2);
  }
  std::int16_t Read(Outputs& out, std::int32_t variable = kHeadingVariable, std::string_view letter = "n") {
    return link_.fscReadVariable(variable, letter, out.value, out.replyText, out.leadWord);
  }

  simlink_testing::Watchdog watchdog_{60};
  std::string prefix_ = simlink_testing::UniqueNamespace();
  FSConnect link_;
};

TEST_F(LinkServerTest, WithoutServerEverythingStaysAsItWas) {
  Outputs out;
  EXPECT_FALSE(link_.fscIsConnected());
  EXPECT_NE(link_.fscMessage(), 0U);  // registering needs no server
  EXPECT_EQ(link_.fscServerWindow(), 0U);
  EXPECT_EQ(GetInfo(out), kNoServer);
  EXPECT_EQ(Read(out), kNoServer);
  EXPECT_TRUE(out.Untouched());
  EXPECT_EQ(ReadHeadingText(link_), std::nullopt);
}

TEST_F(LinkServerTest, AnswersInsteadOfAtomsAreResultCodes) {
  struct Row {
    const char* answer;
    std::int16_t result;
  };
  for (const Row row : {Row{"0", 1}, Row{"7", 7}, Row{"1", 1}, Row{"32767", 32767}}) {
    SCOPED_TRACE(row.answer);
    auto server = StartServer({"--answer", row.answer});
    Outputs out;
    EXPECT_EQ(GetInfo(out), row.result);
    EXPECT_EQ(Read(out), row.result);
    EXPECT_TRUE(out.Untouched());
    EXPECT_EQ(ReadHeadingText(link_), std::nullopt);
  }
}

TEST_F(LinkServerTest, AnswersBeyondSixteenBitsAreMalformed) {
  for (const char* answer : {"40000", "-32769", "65536"}) {
    SCOPED_TRACE(answer);
    auto server = StartServer({"--answer", answer});
    Outputs out;
    EXPECT_THROW(static_cast<void>(GetInfo(out)), MalformedReply);
    EXPECT_THROW(static_cast<void>(Read(out)), MalformedReply);
    EXPECT_TRUE(out.Untouched());
    EXPECT_THROW(static_cast<void>(ReadHeadingText(link_)), MalformedReply);
  }
}

TEST_F(LinkServerTest, RepliesAreDecodedAndEachAtomReleasedOnce) {
  auto server = StartServer({"--var", "86=12.0625", "--var", "5=-3.75"});
  Outputs out;
  ASSERT_EQ(GetInfo(out), kReplyDecoded);
  EXPECT_EQ(out.infoHead, "PMQLS");
  EXPECT_EQ(out.infoNumber1, 1);
  EXPECT_EQ(out.infoNumber2, 2);
  EXPECT_EQ(out.infoTail, "parkmarq link server");
  EXPECT_TRUE(link_.fscIsConnected());
  EXPECT_EQ(link_.fscMessage(), platform::RegisterWindowMessage("WM_FSCONNECT"));

  ASSERT_EQ(Read(out), kReplyDecoded);
  EXPECT_EQ(out.value, 12.0625F);
  EXPECT_EQ(out.leadWord, 86);
  EXPECT_EQ(out.replyText, "0000000000202840");

  ASSERT_EQ(Read(out, 5, "N"), kReplyDecoded);
  EXPECT_EQ(out.value, -3.75F);
  EXPECT_EQ(out.leadWord, 5);

  ASSERT_EQ(Read(out, 12345, "x"), kReplyDecoded);  // unknown letter: the value stays
  EXPECT_EQ(out.value, -3.75F);
  EXPECT_EQ(out.leadWord, 12345);

  ASSERT_EQ(Read(out, 12345, "n"), kReplyDecoded);  // a variable the server does not know reads as 0
  EXPECT_EQ(out.value, 0.0F);

  std::int32_t whole = -1;
  std::string replyText;
  std::int32_t leadWord = 0;
  ASSERT_EQ(link_.fscReadVariable(5, "e", whole, replyText, leadWord), kReplyDecoded);
  EXPECT_EQ(whole, 0);  // the low half of -3.75's bits, all zero

  EXPECT_EQ(ReadHeadingText(link_), " 12.062");

  const std::string printed = server.Stop();
  EXPECT_EQ(CountLines(printed, "answered with atom"), 8) << printed;
  EXPECT_EQ(CountLines(printed, "deleted"), 8) << printed;
  EXPECT_EQ(CountLines(printed, "no such atom"), 0) << printed;
  EXPECT_NE(printed.find("8 atoms released, 0 atoms left"), std::string::npos) << printed;
}

TEST_F(LinkServerTest, HeadingsASingleCannotHoldAreRefused) {
  for (const char* value : {"1e300", "inf", "nan"}) {
    SCOPED_TRACE(value);
    auto server = StartServer({"--var", std::string("86=") + value});
    EXPECT_ANY_THROW(static_cast<void>(ReadHeadingText(link_)));
  }
}

TEST_F(LinkServerTest, MalformedRepliesThrowAfterReleasingTheAtom) {
  struct Row {
    const char* reply;
    bool infoThrows;
    bool readThrows;
  };
  const std::vector<Row> rows = {
      {"HEAD!zzzzzzzz00000000", true, true},
      {"0100000000000000008056zz", false, true},
      {"01000000", true, false},
      // Decodes both ways, but as a read it is too short to hold a heading.
      {"0100000000000000000000", false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.reply);
    auto server = StartServer({"--reply", row.reply});
    Outputs out;
    if (row.infoThrows) {
      EXPECT_THROW(static_cast<void>(GetInfo(out)), MalformedReply);
    } else {
      EXPECT_EQ(GetInfo(out), kReplyDecoded);
    }
    if (row.readThrows) {
      EXPECT_THROW(static_cast<void>(Read(out)), MalformedReply);
    } else {
      EXPECT_EQ(Read(out), kReplyDecoded);
    }
    EXPECT_THROW(static_cast<void>(ReadHeadingText(link_)), MalformedReply);
    const std::string printed = server.Stop();
    const int replies = CountLines(printed, "answered with atom");
    EXPECT_GE(replies, 3);
    EXPECT_EQ(CountLines(printed, "deleted"), replies) << printed;
    EXPECT_NE(printed.find("0 atoms left"), std::string::npos) << printed;
  }
}

// A negative answer that names no atom: the text cannot be fetched, the atom is still released once.
TEST_F(LinkServerTest, AnAtomThatCannotBeFetched) {
  auto server = StartServer({"--answer", "-5"});
  Outputs out;
  ASSERT_EQ(Read(out), kReplyDecoded);
  EXPECT_EQ(out.value, 0.0F);
  EXPECT_EQ(out.leadWord, 0);
  EXPECT_EQ(out.replyText, "");
  Outputs info;
  EXPECT_THROW(static_cast<void>(GetInfo(info)), MalformedReply);
  EXPECT_TRUE(info.Untouched());
  EXPECT_THROW(static_cast<void>(ReadHeadingText(link_)), MalformedReply);
  const std::string printed = server.Stop();
  EXPECT_EQ(CountLines(printed, "atom FFFB deleted, but no such atom exists"), 3) << printed;
}

TEST_F(LinkServerTest, AHungServerCountsAsNoServerAfterTheTimeOut) {
  auto server = StartServer({"--hang"});
  Outputs out;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(GetInfo(out), kNoServer);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, platform::kWindowMessageTimeout);
  EXPECT_LT(waited, platform::kWindowMessageTimeout + std::chrono::seconds(1));
  EXPECT_TRUE(out.Untouched());
}

TEST_F(LinkServerTest, EveryRequestLooksTheServerUpAgain) {
  Outputs out;
  {
    auto first = StartServer({"--var", "86=1"});
    ASSERT_EQ(Read(out), kReplyDecoded);
    EXPECT_EQ(out.value, 1.0F);
  }
  const auto firstWindow = link_.fscServerWindow();
  EXPECT_EQ(Read(out), kNoServer);
  EXPECT_EQ(link_.fscServerWindow(), 0U);
  auto second = StartServer({"--var", "86=2"});
  ASSERT_EQ(Read(out), kReplyDecoded);
  EXPECT_EQ(out.value, 2.0F);
  EXPECT_NE(link_.fscServerWindow(), firstWindow);
  EXPECT_NE(link_.fscServerWindow(), 0U);
}

}  // namespace
}  // namespace simlink
