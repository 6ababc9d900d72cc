// The link client against the link server program, one process per case: a failing server gives no heading and
// leaves every output as it was, and every reply atom is released once.
#include <optional>
#include <string>
#include <vector>

#include "simlink/link_client_fixture.h"

namespace simlink {
namespace {

// No server, one answering nothing (0) or an error, a hung one, and replies that break the protocol, are too
// short to hold a heading or hold none a single can carry: never a heading, the outputs untouched, every atom
// released, and no request waits longer than its time-out (the hung server once per request, the press once).
TEST_F(LinkClientTest, FailuresGiveNoHeadingAndLeaveTheOutputsAsTheyWere) {
  struct Row {
    std::vector<std::string> options;    // empty: no server at all
    std::optional<std::int16_t> result;  // nullopt: the reply is malformed
  };
  for (const auto& [options, result] : std::vector<Row>{{{}, kNoServer},
                                                        {{"--answer", "0"}, kNoServer},
                                                        {{"--answer", "7"}, 7},
                                                        {{"--hang"}, kNoServer},
                                                        {{"--answer", "40000"}, std::nullopt},
                                                        {{"--reply", "HEAD!zzzzzzzz00000000"}, std::nullopt},
                                                        {{"--reply", "01000000"}, std::nullopt},
                                                        {{"--var", "86=nan"}, std::nullopt},
                                                        {{"--var", "86=1e300"}, std::nullopt}}) {
    SCOPED_TRACE(options.empty() ? "no server" : options.back());
    std::optional<LinkServerProcess> server;
    if (!options.empty()) server.emplace(prefix_, options);
    Outputs out;
    const auto start = Clock::now();
    if (result) {
      EXPECT_EQ(GetInfo(out), *result);
      EXPECT_EQ(Read(out), *result);
      EXPECT_EQ(ReadHeadingText(link_), std::nullopt);
    } else {
      EXPECT_ANY_THROW(static_cast<void>(ReadHeadingText(link_)));
      ExpectNoAtomLeft(*server);
    }
    const auto waited = Clock::now() - start;
    const int waits = options == std::vector<std::string>{"--hang"} ? 3 : 0;
    EXPECT_GE(waited, waits * kTestTimeout);
    EXPECT_LT(waited, waits * kTestTimeout + std::chrono::seconds(1));
    EXPECT_EQ(out, Outputs{});
  }
}

// Beside a server under another prefix, which the client reaches only once told to, and looks up again each time.
TEST_F(LinkClientTest, RepliesAreDecodedAndEachAtomReleasedOnce) {
  LinkServerProcess server(prefix_, {"--var", "86=12.0625", "--var", "5=-3.75"});
  const std::string otherPrefix = UniqueNamespace();
  LinkServerProcess other(otherPrefix, {"--var", "86=2"});
  Outputs out;
  ASSERT_EQ(GetInfo(out), kReplyDecoded);
  ASSERT_EQ(Read(out, 5, "x"), kReplyDecoded);  // an unknown letter: the value stays
  EXPECT_EQ(out, (Outputs{"PMQLS", "parkmarq link server", "0000000000000EC0", 1, 2, 5, -99.5F}));
  EXPECT_EQ(ReadHeadingText(link_), " 12.062");
  platform::SetWindowMessagesForTesting(otherPrefix, kTestTimeout);
  EXPECT_EQ(ReadHeadingText(link_), " 2");
  other.Stop(9);  // SIGKILL on POSIX: leaves its socket files behind
  EXPECT_EQ(ReadHeadingText(link_), std::nullopt);
  LinkServerProcess again(otherPrefix, {"--var", "86=3"});
  EXPECT_EQ(ReadHeadingText(link_), " 3");
  const std::string printed = server.Stop();
  EXPECT_NE(printed.find("4 atoms released, 0 atoms left"), std::string::npos) << printed;
}

}  // namespace
}  // namespace simlink
