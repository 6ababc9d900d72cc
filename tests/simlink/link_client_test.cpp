// The link client against the project's own link server program, one server process per case, and
// against small in-test servers that break the local message protocol the ways a faulty or hostile
// peer could: the heading is then never wrong, and no call outlasts its time-out.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "helpers/process_probe.h"
#include "linkserver/link_server_options.h"
#include "platform/window_messages.h"
#include "platform/window_messages_socket.h"
#include "platform/window_messages_wire.h"
#include "simlink/fs_connect.h"
#include "simlink/heading_button.h"
#include "simlink/link_server_process.h"
#include "simlink/test_namespace.h"

namespace simlink {
namespace {

using simlink_testing::CountLines;
using simlink_testing::LinkServerProcess;
using Clock = std::chrono::steady_clock;
namespace wire = platform::wire;
constexpr std::chrono::milliseconds kTestTimeout{1500};

// Outputs filled with values no reply produces, to see whether a request touched them.
struct Outputs {
  std::string infoHead = "head?", infoTail = "tail?", replyText = "reply?";
  std::int32_t infoNumber1 = -77, infoNumber2 = -78, leadWord = -79;
  float value = -99.5F;
  bool operator==(const Outputs&) const = default;
};

class LinkClientTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetWindowMessagesForTesting(prefix_, kTestTimeout); }
  void TearDown() override { platform::SetWindowMessagesForTesting(""); }

  std::int16_t GetInfo(Outputs& out) {
    return link_.fscGetInfo(out.infoHead, out.infoTail, out.infoNumber1, out.infoNumber2);
  }
  std::int16_t Read(Outputs& out, std::int32_t variable = kHeadingVariable, std::string_view letter = "n") {
    return link_.fscReadVariable(variable, letter, out.value, out.replyText, out.leadWord);
  }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(60)};
  std::string prefix_ = simlink_testing::UniqueNamespace();
  FSConnect link_;
};

TEST_F(LinkClientTest, ResultCodesLeaveTheOutputsAsTheyWere) {
  struct Row {
    std::vector<std::string> options;    // empty: no server at all
    std::optional<std::int16_t> result;  // nullopt: the answer is malformed
  };
  for (const Row& row : std::vector<Row>{{{}, kNoServer},
                                         {{"--answer", "0"}, kNoServer},
                                         {{"--answer", "7"}, 7},
                                         {{"--answer", "40000"}, std::nullopt},
                                         {{"--hang"}, kNoServer}}) {
    SCOPED_TRACE(row.options.empty() ? "no server" : row.options.back());
    std::optional<LinkServerProcess> server;
    if (!row.options.empty()) server.emplace(prefix_, row.options);
    Outputs out;
    const auto start = Clock::now();
    if (row.result) {
      EXPECT_EQ(GetInfo(out), *row.result);
      EXPECT_EQ(Read(out), *row.result);
      EXPECT_EQ(ReadHeadingText(link_), std::nullopt);
    } else {
      EXPECT_THROW(static_cast<void>(GetInfo(out)), MalformedReply);
      EXPECT_THROW(static_cast<void>(Read(out)), MalformedReply);
      EXPECT_THROW(static_cast<void>(ReadHeadingText(link_)), MalformedReply);
    }
    const auto waited = Clock::now() - start;
    // The hung server is waited for once per request (the heading gives up after the first).
    const int waits = row.options == std::vector<std::string>{"--hang"} ? 3 : 0;
    EXPECT_GE(waited, waits * kTestTimeout);
    EXPECT_LT(waited, waits * kTestTimeout + std::chrono::seconds(1));
    EXPECT_EQ(out, Outputs{});
  }
}

TEST_F(LinkClientTest, RepliesAreDecodedAndEachAtomReleasedOnce) {
  LinkServerProcess server(prefix_, {"--var", "86=12.0625", "--var", "5=-3.75"});
  Outputs out;
  ASSERT_EQ(GetInfo(out), kReplyDecoded);
  EXPECT_EQ(out.infoHead, "PMQLS");
  EXPECT_EQ(out.infoNumber2, 2);
  EXPECT_EQ(out.infoTail, "parkmarq link server");
  EXPECT_EQ(link_.fscMessage(), platform::RegisterWindowMessage("WM_FSCONNECT"));
  ASSERT_EQ(Read(out), kReplyDecoded);
  EXPECT_EQ(out.value, 12.0625F);
  EXPECT_EQ(out.leadWord, 86);
  EXPECT_EQ(out.replyText, "0000000000202840");
  ASSERT_EQ(Read(out, 12345, "x"), kReplyDecoded);  // unknown letter: the value stays
  EXPECT_EQ(out.value, 12.0625F);
  EXPECT_EQ(out.leadWord, 12345);
  EXPECT_EQ(ReadHeadingText(link_), " 12.062");

  const std::string printed = server.Stop();
  EXPECT_EQ(CountLines(printed, "answered with atom"), 5) << printed;
  EXPECT_EQ(CountLines(printed, "deleted"), 5) << printed;
  EXPECT_NE(printed.find("5 atoms released, 0 atoms left"), std::string::npos) << printed;
}

// A reply that breaks the protocol, is too short to hold a heading or holds none a single can carry:
// never a heading, and the atom is released all the same.
TEST_F(LinkClientTest, BadRepliesGiveNoHeadingAndReleaseTheAtom) {
  for (const std::vector<std::string>& options :
       std::vector<std::vector<std::string>>{{"--reply", "HEAD!zzzzzzzz00000000"},
                                             {"--reply", "0100000000000000008056zz"},
                                             {"--reply", "01000000"},
                                             {"--var", "86=nan"},
                                             {"--var", "86=1e300"}}) {
    SCOPED_TRACE(options.back());
    LinkServerProcess server(prefix_, options);
    EXPECT_ANY_THROW(static_cast<void>(ReadHeadingText(link_)));
    const std::string printed = server.Stop();
    EXPECT_GE(CountLines(printed, "answered with atom"), 1);
    EXPECT_EQ(CountLines(printed, "deleted"), CountLines(printed, "answered with atom")) << printed;
    EXPECT_NE(printed.find("0 atoms left"), std::string::npos) << printed;
  }
}

// Servers under different prefixes do not see each other, and every request looks the server up again.
TEST_F(LinkClientTest, ServersSideBySideAndAfterARestart) {
  const std::string other = simlink_testing::UniqueNamespace();
  LinkServerProcess first(prefix_, {"--var", "86=1"});
  LinkServerProcess second(other, {"--var", "86=2"});
  Outputs out;
  ASSERT_EQ(Read(out), kReplyDecoded);
  EXPECT_EQ(out.value, 1.0F);
  platform::SetWindowMessagesForTesting(other, kTestTimeout);
  ASSERT_EQ(Read(out), kReplyDecoded);
  EXPECT_EQ(out.value, 2.0F);
  const auto secondWindow = link_.fscServerWindow();
  second.Stop();
  EXPECT_EQ(Read(out), kNoServer);
  LinkServerProcess restarted(other, {"--var", "86=3"});
  ASSERT_EQ(Read(out), kReplyDecoded);
  EXPECT_EQ(out.value, 3.0F);
  EXPECT_NE(link_.fscServerWindow(), secondWindow);
}

TEST(LinkServerOptions, RefusesWhatItCannotUse) {
  for (const std::vector<std::string_view>& arguments :
       std::vector<std::vector<std::string_view>>{{"--var"},
                                                  {"--var", "86=1.5x"},
                                                  {"--var", "99999999999=1"},
                                                  {"--answer", "7.5"},
                                                  {"--hang", "--answer", "0"},
                                                  {"--frobnicate"}}) {
    EXPECT_THROW(static_cast<void>(linkserver::ParseOptions(arguments)), std::invalid_argument) << arguments.back();
  }
}

// Keeps the connection open and silent, closes it before reading, answers properly a byte at a time,
// follows a proper answer with 4 KiB more, or sends bytes that are no answer.
enum class Hostility { kNeverAnswers, kClosesAtOnce, kOneByteAtATime, kOverLong, kGarbage };

// Plays the link server's window and atom table under the current prefix, misbehaving as told. Its
// proper answers: window 1, atom 0xC000 for every message, whose text replies to the last request
// with the heading 90.
class HostileServer {
 public:
  explicit HostileServer(Hostility hostility) : hostility_(hostility), thread_([this] { Serve(); }) {}
  ~HostileServer() {
    stop_ = true;
    thread_.join();
  }
  std::atomic<int> accepted_{0};

 private:
  void Serve() {
    std::vector<platform::local::Socket> kept;
    std::uint32_t lastRequest = 0;
    while (!stop_) {
      pollfd polled[2] = {{listeners_[0].Fd(), POLLIN, 0}, {listeners_[1].Fd(), POLLIN, 0}};
      if (::poll(polled, 2, 20) <= 0) continue;
      for (const pollfd& listener : polled) {
        if (listener.revents == 0) continue;
        platform::local::Socket peer(::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC));
        ++accepted_;
        if (hostility_ == Hostility::kNeverAnswers) kept.push_back(std::move(peer));
        std::vector<std::uint8_t> bytes(wire::kRequestSize);
        if (hostility_ == Hostility::kNeverAnswers || hostility_ == Hostility::kClosesAtOnce ||
            ::recv(peer.Fd(), bytes.data(), bytes.size(), MSG_WAITALL) != std::ssize(bytes)) {
          continue;
        }
        const auto request = wire::DecodeRequest(bytes);
        if (!request) continue;
        wire::Answer answer{true, 0, {}};
        if (request->kind == wire::RequestKind::kFindWindow) answer.value = 1;
        if (request->kind == wire::RequestKind::kSendMessage) answer.value = -16384;
        if (request->kind == wire::RequestKind::kSendMessage) lastRequest = request->wParam;
        if (request->kind == wire::RequestKind::kGetAtomName) {
          answer.text = lastRequest == kInfoRequest ? "PMQLS0000000100000001hostile" : "560000000000000000805640";
        }
        Send(peer, wire::EncodeAnswer(answer));
      }
    }
  }

  void Send(const platform::local::Socket& peer, std::vector<std::uint8_t> bytes) const {
    if (hostility_ == Hostility::kOverLong) bytes.resize(bytes.size() + 4096, 'A');
    if (hostility_ == Hostility::kGarbage) bytes.assign(64, 0x5A);
    const bool slow = hostility_ == Hostility::kOneByteAtATime;
    for (std::size_t at = 0; at < bytes.size() && !stop_;) {
      const ssize_t sent = ::send(peer.Fd(), bytes.data() + at, slow ? 1 : bytes.size() - at, MSG_NOSIGNAL);
      if (sent <= 0) return;
      at += static_cast<std::size_t>(sent);
      if (slow) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  Hostility hostility_;
  const platform::local::Socket listeners_[2] = {
      platform::local::Listen(platform::local::WindowSocketName(kServerClass)),
      platform::local::Listen(platform::local::AtomTableSocketName())};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST_F(LinkClientTest, HostileServersGiveNoWrongHeadingNorALongWait) {
  for (const Hostility hostility : {Hostility::kNeverAnswers, Hostility::kClosesAtOnce, Hostility::kOneByteAtATime,
                                    Hostility::kOverLong, Hostility::kGarbage}) {
    SCOPED_TRACE(static_cast<int>(hostility));
    // Only the slow server answers properly; the others may make the button show nothing, or an error.
    const std::optional<std::string> expected =
        hostility == Hostility::kOneByteAtATime ? std::optional<std::string>(" 90") : std::nullopt;
    const HostileServer server(hostility);
    std::optional<std::string> heading;
    const auto start = Clock::now();
    try {
      heading = ReadHeadingText(link_);
    } catch (const MalformedReply& error) {
      EXPECT_FALSE(expected.has_value()) << error.what();
    }
    EXPECT_LT(Clock::now() - start, kTestTimeout + std::chrono::seconds(1));
    EXPECT_EQ(heading, expected);
    EXPECT_GT(server.accepted_, 0);
  }
}

}  // namespace
}  // namespace simlink
