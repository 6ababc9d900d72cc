// The link client against small in-test servers that break the local message protocol in the ways a
// faulty or hostile peer could: the heading is then never wrong, and no call outlasts its time-out.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/window_messages.h"
#include "platform/window_messages_socket.h"
#include "platform/window_messages_wire.h"
#include "simlink/fs_connect.h"
#include "simlink/heading_button.h"
#include "simlink/test_namespace.h"
#include "simlink/watchdog.h"

namespace simlink {
namespace {

using platform::local::Clock;
using platform::local::Socket;
namespace wire = platform::wire;

enum class Hostility {
  kNeverAnswers,     // accepts and never reads or writes
  kClosesAtOnce,     // accepts and closes before reading
  kOneByteAtATime,   // proper answers, a byte at a time: slow but in time
  kTooSlow,          // proper answers, a byte at a time, far slower than the time-out
  kOverLong,         // a proper answer followed by more bytes
  kGarbage,          // random bytes instead of answers
  kNeverCloses,      // a proper answer, then the connection stays open
  kGarbageAtomText,  // proper answers, but atom texts that are no replies
};

constexpr std::chrono::milliseconds kTestTimeout{2000};

// Plays the link server's window and atom table under the current test prefix, misbehaving as told.
class HostileServer {
 public:
  explicit HostileServer(Hostility hostility)
      : hostility_(hostility),
        window_(platform::local::Listen(platform::local::WindowSocketName(kServerClass))),
        atoms_(platform::local::Listen(platform::local::AtomTableSocketName())),
        thread_([this] { Serve(); }) {}
  ~HostileServer() {
    stop_ = true;
    thread_.join();
  }

 private:
  void Serve() {
    while (!stop_) {
      pollfd listeners[2] = {{window_.Fd(), POLLIN, 0}, {atoms_.Fd(), POLLIN, 0}};
      if (::poll(listeners, 2, 20) <= 0) continue;
      for (const auto& listener : listeners) {
        if (listener.revents != 0) Answer(Socket(::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC)));
      }
    }
  }

  void Answer(Socket connection) {
    if (!connection.Valid() || hostility_ == Hostility::kClosesAtOnce) return;
    if (hostility_ == Hostility::kNeverAnswers) {
      kept_.push_back(std::move(connection));
      return;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    std::vector<std::uint8_t> received;
    while (received.size() < wire::kRequestSize && Clock::now() < deadline) {
      std::uint8_t byte = 0;
      if (::recv(connection.Fd(), &byte, 1, 0) != 1) return;
      received.push_back(byte);
    }
    const auto request = wire::DecodeRequest(received);
    if (!request) return;
    std::vector<std::uint8_t> answer = wire::EncodeAnswer(ProperAnswer(*request));
    switch (hostility_) {
      case Hostility::kOneByteAtATime:
      case Hostility::kTooSlow: {
        const auto pause = std::chrono::milliseconds(hostility_ == Hostility::kTooSlow ? 300 : 1);
        for (const std::uint8_t byte : answer) {
          if (stop_ || ::send(connection.Fd(), &byte, 1, MSG_NOSIGNAL) != 1) return;
          std::this_thread::sleep_for(pause);
        }
        return;
      }
      case Hostility::kOverLong: answer.resize(answer.size() + 4096, 'A'); break;
      case Hostility::kGarbage:
        for (auto& byte : answer) byte = static_cast<std::uint8_t>(random_());
        answer.resize(64, 0x5A);
        break;
      case Hostility::kNeverCloses:
        static_cast<void>(platform::local::SendAll(connection, answer, deadline));
        kept_.push_back(std::move(connection));
        return;
      default: break;
    }
    static_cast<void>(platform::local::SendAll(connection, answer, deadline));
  }

  // What a correct link server would answer: window 1, atom 0xC000 for every message, and as its text
  // the reply to the last request code (the heading 90).
  wire::Answer ProperAnswer(const wire::Request& request) {
    switch (request.kind) {
      case wire::RequestKind::kFindWindow: return {true, 1, {}};
      case wire::RequestKind::kSendMessage: lastRequest_ = request.wParam; return {true, -16384, {}};
      case wire::RequestKind::kGetAtomName:
        if (hostility_ == Hostility::kGarbageAtomText) return {true, 0, "\x01\xFFnot a reply"};
        return {true, 0, lastRequest_ == kInfoRequest ? "PMQLS0000000100000001hostile" : "560000000000000000805640"};
      case wire::RequestKind::kDeleteAtom: return {true, 0, {}};
    }
    return {};
  }

  Hostility hostility_;
  Socket window_;
  Socket atoms_;
  std::vector<Socket> kept_;
  std::uint32_t lastRequest_ = 0;
  std::minstd_rand random_{20261206};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

struct HostileCase {
  const char* name;
  Hostility hostility;
  std::optional<std::string> heading;  // what the button may show; nullopt: nothing, or an error
};

void PrintTo(const HostileCase& row, std::ostream* out) {
  *out << row.name;
}

class HostileServerTest : public ::testing::TestWithParam<HostileCase> {
 protected:
  void SetUp() override { platform::SetWindowMessagesForTesting(simlink_testing::UniqueNamespace(), kTestTimeout); }
  void TearDown() override { platform::SetWindowMessagesForTesting(""); }
  simlink_testing::Watchdog watchdog_{60};
};

TEST_P(HostileServerTest, NeverAWrongHeadingNorALongWait) {
  const HostileServer server(GetParam().hostility);
  FSConnect link;
  const auto start = Clock::now();
  std::optional<std::string> heading;
  try {
    heading = ReadHeadingText(link);
  } catch (const MalformedReply& error) {
    EXPECT_FALSE(GetParam().heading.has_value()) << error.what();
  }
  const auto waited = Clock::now() - start;
  EXPECT_EQ(heading, GetParam().heading);
  EXPECT_LT(waited, kTestTimeout + std::chrono::seconds(1));
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileServerTest,
                         ::testing::Values(HostileCase{"NeverAnswers", Hostility::kNeverAnswers, std::nullopt},
                                           HostileCase{"ClosesAtOnce", Hostility::kClosesAtOnce, std::nullopt},
                                           HostileCase{"OneByteAtATime", Hostility::kOneByteAtATime, " 90"},
                                           HostileCase{"TooSlow", Hostility::kTooSlow, std::nullopt},
                                           HostileCase{"OverLong", Hostility::kOverLong, std::nullopt},
                                           HostileCase{"Garbage", Hostility::kGarbage, std::nullopt},
                                           HostileCase{"NeverCloses", Hostility::kNeverCloses, std::nullopt},
                                           HostileCase{"GarbageAtomText", Hostility::kGarbageAtomText, std::nullopt}),
                         [](const ::testing::TestParamInfo<HostileCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace simlink
