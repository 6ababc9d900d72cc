// The link client against in-test servers breaking the protocol the ways a faulty or hostile peer could, a server
// replying too late, and two users' servers side by side: the heading is then never wrong, nor a call too long.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/window_messages_socket.h"
#include "platform/window_messages_wire.h"
#include "simlink/link_client_fixture.h"
#include "support/temp_folder.h"

namespace simlink {
namespace {

namespace wire = platform::wire;

// A server that takes a second per request: the press gives up after one time-out in all, and the reply atom
// that comes after it is freed by the server, not left in its table.
TEST_F(LinkClientTest, APressWaitsOneTimeOutInAllAndALateReplyLeavesNoAtom) {
  LinkServerProcess server(prefix_,
                           {"--var", "86=12", "--delay", "1000", "--timeout", std::to_string(kTestTimeout.count())});
  const auto start = Clock::now();
  EXPECT_EQ(ReadHeadingText(link_), std::nullopt);
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, kTestTimeout);
  EXPECT_LT(waited, kTestTimeout + std::chrono::seconds(1));
  EXPECT_TRUE(server.ReadUntil("expired", 10'000));
  ExpectNoAtomLeft(server);
}

// Keeps the connection open and silent, closes it before reading, answers properly a byte at a time, or keeps
// its atom table silent. Answers that are no answer are the wire decoder's (its own tests and fuzzing).
enum class Hostility { kNeverAnswers, kClosesAtOnce, kOneByteAtATime, kSilentAtomTable };

// Plays the link server's window and atom table on listeners, misbehaving as told, until stopped. Its proper
// answers: window 1, atom 0xC000 for every message, whose text replies to the last request with the heading 90.
void ServeHostile(const std::stop_token& stop, Hostility hostility, const platform::local::Listener (&listeners)[2],
                  std::atomic<int>& accepted) {
  std::vector<platform::local::Socket> kept;
  std::uint32_t lastRequest = 0;
  while (!stop.stop_requested()) {
    pollfd polled[2] = {{listeners[0].Fd(), POLLIN, 0}, {listeners[1].Fd(), POLLIN, 0}};
    if (::poll(polled, 2, 20) <= 0) continue;
    for (const pollfd& listener : polled) {
      if (listener.revents == 0) continue;
      platform::local::Socket peer(::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC));
      ++accepted;
      const bool silent = hostility == Hostility::kNeverAnswers ||
                          (hostility == Hostility::kSilentAtomTable && listener.fd == listeners[1].Fd());
      if (silent) kept.push_back(std::move(peer));
      std::vector<std::uint8_t> bytes(wire::kRequestSize);
      if (silent || hostility == Hostility::kClosesAtOnce ||
          ::recv(peer.Fd(), bytes.data(), bytes.size(), MSG_WAITALL) != std::ssize(bytes)) {
        continue;
      }
      const auto request = wire::DecodeRequest(bytes);
      if (!request) continue;
      wire::Answer answer{true, request->kind == wire::RequestKind::kFindWindow ? 1 : 0, {}};
      if (request->kind == wire::RequestKind::kSendMessage) {
        answer.value = -16384;
        lastRequest = request->wParam;
      }
      if (request->kind == wire::RequestKind::kGetAtomName) {
        answer.text = lastRequest == kInfoRequest ? "PMQLS0000000100000001hostile" : "560000000000000000805640";
      }
      bytes = wire::EncodeAnswer(answer);
      const std::size_t step = hostility == Hostility::kOneByteAtATime ? 1 : bytes.size();
      for (std::size_t at = 0; at < bytes.size() && !stop.stop_requested(); at += step) {
        if (::send(peer.Fd(), bytes.data() + at, step, MSG_NOSIGNAL) <= 0) break;  // a frame fits the socket at once
        if (step == 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  }
}

// None of them is a malformed reply: the button shows nothing, not an error.
TEST_F(LinkClientTest, HostileServersGiveNoWrongHeadingNorALongWait) {
  for (const Hostility hostility :
       {Hostility::kNeverAnswers, Hostility::kClosesAtOnce, Hostility::kOneByteAtATime, Hostility::kSilentAtomTable}) {
    SCOPED_TRACE(static_cast<int>(hostility));
    const platform::local::Listener listeners[2] = {
        platform::local::Listener(platform::local::WindowSocketName(kServerClass)),
        platform::local::Listener(platform::local::AtomTableSocketName())};
    std::atomic<int> accepted{0};
    const std::jthread server([&](const std::stop_token& stop) { ServeHostile(stop, hostility, listeners, accepted); });
    std::optional<std::string> heading;
    const auto start = Clock::now();
    EXPECT_NO_THROW(heading = ReadHeadingText(link_));
    EXPECT_LT(Clock::now() - start, kTestTimeout + std::chrono::seconds(1));
    // Only the slow server answers properly.
    EXPECT_EQ(heading, hostility == Hostility::kOneByteAtATime ? std::optional<std::string>(" 90") : std::nullopt);
    EXPECT_GT(accepted, 0);
  }
}

// As uid, with runtimeFolder as XDG_RUNTIME_DIR (nullptr: unset), runs the link server program whose heading is
// heading, writes "ready" to report, presses "FS" once go's write end is closed, and writes the heading (or "none").
pid_t StartUser(uid_t uid, const char* runtimeFolder, const std::string& heading, int report, const int (&go)[2]) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::close(go[1]);
  const auto say = [report](const std::string& line) { return ::write(report, (line + "\n").data(), line.size() + 1); };
  try {
    if (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0) throw std::runtime_error("setuid");
    runtimeFolder == nullptr ? ::unsetenv("XDG_RUNTIME_DIR") : ::setenv("XDG_RUNTIME_DIR", runtimeFolder, 1);
    platform::SetWindowMessagesForTesting("", kTestTimeout);
    LinkServerProcess server("", {"--var", "86=" + heading});
    say("ready");
    char byte = 0;
    static_cast<void>(::read(go[0], &byte, 1));
    FSConnect link;
    say(ReadHeadingText(link).value_or("none"));
  } catch (const std::exception& error) {
    say(std::string("error: ") + error.what());
  }
  ::_exit(0);
}

// Two users each run a link server under the usual names, one with a runtime folder of its own and one
// without, and press "FS" while both servers run: each reads its own server's heading.
TEST(LinkClient, TwoUsersEachReachTheirOwnServer) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run as two other users";
  const test_helpers::Watchdog watchdog(std::chrono::seconds(60));
  uid_t other = 61000;
  while (::getpwuid(other) != nullptr) ++other;
  const testing_support::TempFolder runtime;
  ASSERT_EQ(::chown(runtime.Str().c_str(), 65534, 65534), 0);
  int go[2];
  ASSERT_EQ(::pipe2(go, O_CLOEXEC), 0);
  int reports[2][2];
  pid_t pids[2];
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(::pipe2(reports[i], O_CLOEXEC), 0);
    pids[i] = i == 0 ? StartUser(65534, runtime.Str().c_str(), "90.5", reports[i][1], go)
                     : StartUser(other, nullptr, "270", reports[i][1], go);
    ::close(reports[i][1]);
  }
  const auto readLine = [](int fd) {
    std::string line;
    for (char c = 0; ::read(fd, &c, 1) == 1 && c != '\n';) line += c;
    return line;
  };
  std::string lines[2];
  for (int i = 0; i < 2; ++i) lines[i] = readLine(reports[i][0]) + "|";
  ::close(go[1]);
  for (int i = 0; i < 2; ++i) {
    lines[i] += readLine(reports[i][0]);
    ::close(reports[i][0]);
    ::waitpid(pids[i], nullptr, 0);
  }
  std::filesystem::remove_all("/tmp/parkmarq-" + std::to_string(other));
  EXPECT_EQ(lines[0], "ready| 90.5");
  EXPECT_EQ(lines[1], "ready| 270");
}

}  // namespace
}  // namespace simlink
