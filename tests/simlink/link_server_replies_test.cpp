#include "linkserver/link_server_replies.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "linkserver/link_server_options.h"
#include "simlink/link_replies.h"

namespace linkserver {
namespace {

Options Parse(std::vector<std::string_view> arguments) {
  return ParseOptions(arguments);
}

TEST(LinkServerOptions, ReadsVariablesAndBehaviours) {
  const Options plain = Parse({"--var", "86=123.456", "--var", "-3=-1e10", "--var", "86=270"});
  EXPECT_EQ(plain.behaviour, Behaviour::kReply);
  EXPECT_EQ(plain.variables, (std::map<std::int32_t, double>{{86, 270.0}, {-3, -1e10}}));

  const Options answer = Parse({"--answer", "40000", "--namespace", "t/"});
  EXPECT_EQ(answer.behaviour, Behaviour::kFixedAnswer);
  EXPECT_EQ(answer.fixedAnswer, 40000);
  EXPECT_EQ(answer.namespacePrefix, "t/");

  EXPECT_EQ(Parse({"--hang"}).behaviour, Behaviour::kNeverAnswer);
  const Options reply = Parse({"--reply", "not hex"});
  EXPECT_EQ(reply.behaviour, Behaviour::kReplyText);
  EXPECT_EQ(reply.replyText, "not hex");
  EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(LinkServerOptions, RefusesWhatItCannotUse) {
  const std::vector<std::vector<std::string_view>> bad = {
      {"--var"},
      {"--var", "86"},
      {"--var", "x=1"},
      {"--var", "86=1.5x"},
      {"--answer", "7.5"},
      {"--answer"},
      {"--hang", "--answer", "0"},
      {"--reply", "a", "--hang"},
      {"--frobnicate"},
      {"--var", "99999999999=1"},
  };
  for (const auto& arguments : bad) {
    SCOPED_TRACE(arguments.front());
    EXPECT_THROW(static_cast<void>(Parse(arguments)), std::invalid_argument);
  }
}

// What the server writes, the client must read back exactly.
TEST(LinkServerReplies, DecodeToWhatWasSent) {
  for (const double value : {0.0, 90.0, 12.0625, -5.25, 359.999, -1e300, std::numeric_limits<double>::denorm_min()}) {
    SCOPED_TRACE(value);
    const std::string text = ReadVariableReply(86, value);
    ASSERT_EQ(text.size(), 24U);
    const auto decoded = simlink::DecodeReadReply(text, "n");
    EXPECT_EQ(decoded.leadWord, 86);
    EXPECT_EQ(decoded.value, simlink::VariableValue(value));
  }
  EXPECT_EQ(ReadVariableReply(1, 90.0), "010000000000000000805640");
  EXPECT_EQ(simlink::DecodeReadReply(ReadVariableReply(-2, 0), "n").leadWord, -2);

  Options options;
  options.variables = {{86, 1}, {1, 2}};
  const auto info = simlink::DecodeInfoReply(InformationReply(options));
  EXPECT_EQ(info.infoHead, "PMQLS");
  EXPECT_EQ(info.infoNumber1, 1);
  EXPECT_EQ(info.infoNumber2, 2);
  EXPECT_EQ(info.infoTail, "parkmarq link server");
}

TEST(LinkServerReplies, ChoosesTheReplyForTheRequest) {
  Options options;
  options.variables = {{86, 12.5}};
  EXPECT_EQ(ReplyFor(options, kReadVariableRequest, 86), ReadVariableReply(86, 12.5));
  EXPECT_EQ(ReplyFor(options, kReadVariableRequest, 87), ReadVariableReply(87, 0));
  EXPECT_EQ(ReplyFor(options, kInformationRequest, 0), InformationReply(options));
  EXPECT_EQ(ReplyFor(options, 2, 0), std::nullopt);
  options.behaviour = Behaviour::kReplyText;
  options.replyText = "zz";
  EXPECT_EQ(ReplyFor(options, kInformationRequest, 0), "zz");
  EXPECT_EQ(ReplyFor(options, kReadVariableRequest, 86), "zz");
}

}  // namespace
}  // namespace linkserver
