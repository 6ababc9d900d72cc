// The client calls against a message window served on a thread of the test, under a test prefix.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/window_messages.h"
#include "platform/window_messages_host.h"
#include "platform/window_messages_socket.h"
#include "simlink/test_namespace.h"
#include "simlink/watchdog.h"

namespace platform {
namespace {

constexpr std::chrono::milliseconds kTestTimeout{1500};
constexpr std::string_view kClass = "TESTCLASS";

struct Sent {
  std::uint32_t message;
  std::uint32_t wParam;
  std::int32_t lParam;
};

// A message window running on its own thread; it answers wParam + lParam, or nothing for wParam 99.
class ServedWindow {
 public:
  ServedWindow() : window_(kClass, Handlers()) {
    first_ = window_.Atoms().Add("first atom");
    second_ = window_.Atoms().Add(std::string(kMaxAtomLength, 'y'));
    thread_ = std::thread([this] { window_.Run(); });
  }
  ~ServedWindow() {
    window_.Stop();
    thread_.join();
  }

  std::uint16_t first_ = 0;
  std::uint16_t second_ = 0;
  std::mutex mutex_;
  std::vector<Sent> sent_;
  std::vector<std::pair<std::uint16_t, bool>> deleted_;

 private:
  WindowHandlers Handlers() {
    WindowHandlers handlers;
    handlers.onMessage = [this](std::uint32_t message, std::uint32_t wParam,
                                std::int32_t lParam) -> std::optional<std::int32_t> {
      const std::lock_guard lock(mutex_);
      sent_.push_back({message, wParam, lParam});
      if (wParam == 99) return std::nullopt;
      return static_cast<std::int32_t>(wParam + static_cast<std::uint32_t>(lParam));  // wraps, as the bits do
    };
    handlers.onAtomDeleted = [this](std::uint16_t atom, bool existed) {
      const std::lock_guard lock(mutex_);
      deleted_.emplace_back(atom, existed);
    };
    return handlers;
  }

  MessageWindow window_;
  std::thread thread_;
};

class WindowMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override { SetWindowMessagesForTesting(simlink_testing::UniqueNamespace(), kTestTimeout); }
  void TearDown() override { SetWindowMessagesForTesting(""); }
  simlink_testing::Watchdog watchdog_{30};
};

TEST_F(WindowMessagesTest, NoWindowNoAnswer) {
  EXPECT_EQ(FindWindow(kClass), 0U);
  EXPECT_EQ(SendMessage(0, 1, 2, 3), 0);
  EXPECT_EQ(SendMessage(123456, 1, 2, 3), 0);
  std::array<char, 16> buffer{'x'};
  EXPECT_EQ(GlobalGetAtomName(0xC000, buffer), 0U);
  EXPECT_EQ(buffer[0], '\0');
  DeleteAtom(0xC000);  // nobody to tell: returns without waiting for anything
}

TEST_F(WindowMessagesTest, MessagesReachTheWindowAndAnswersComeBack) {
  ServedWindow served;
  const WindowHandle window = FindWindow(kClass);
  ASSERT_NE(window, 0U);
  EXPECT_EQ(FindWindow(kClass), window);
  EXPECT_EQ(FindWindow("OTHERCLASS"), 0U);

  EXPECT_EQ(SendMessage(window, 0xE499, 10, 0), 10);
  EXPECT_EQ(SendMessage(window, 0xC000, 1, -16385), -16384);
  EXPECT_EQ(SendMessage(window, 7, 0xFFFFFFFF, -2147483647 - 1), 0x7FFFFFFF);
  const std::lock_guard lock(served.mutex_);
  ASSERT_EQ(served.sent_.size(), 3U);
  EXPECT_EQ(served.sent_[1].message, 0xC000U);
  EXPECT_EQ(served.sent_[1].wParam, 1U);
  EXPECT_EQ(served.sent_[1].lParam, -16385);
  EXPECT_EQ(served.sent_[2].wParam, 0xFFFFFFFFU);
  EXPECT_EQ(served.sent_[2].lParam, -2147483647 - 1);
}

TEST_F(WindowMessagesTest, AnUnansweredMessageGivesZeroAfterTheTimeOut) {
  ServedWindow served;
  const WindowHandle window = FindWindow(kClass);
  const auto start = local::Clock::now();
  EXPECT_EQ(SendMessage(window, 1, 99, 5), 0);
  const auto waited = local::Clock::now() - start;
  EXPECT_GE(waited, kTestTimeout);
  EXPECT_LT(waited, kTestTimeout + std::chrono::seconds(1));
  EXPECT_EQ(SendMessage(window, 1, 2, 5), 7);  // the window goes on serving others
}

TEST_F(WindowMessagesTest, AtomTextsAreCopiedIntoTheBuffer) {
  ServedWindow served;
  std::array<char, kMaxAtomLength> buffer{};
  ASSERT_EQ(GlobalGetAtomName(served.first_, buffer), 10U);
  EXPECT_STREQ(buffer.data(), "first atom");
  // A 255-character atom in a 255-character buffer: 254 characters and the terminating 0.
  ASSERT_EQ(GlobalGetAtomName(served.second_, buffer), kMaxAtomLength - 1);
  EXPECT_EQ(std::string(buffer.data()), std::string(kMaxAtomLength - 1, 'y'));
  std::array<char, 4> small{};
  EXPECT_EQ(GlobalGetAtomName(served.first_, small), 3U);
  EXPECT_STREQ(small.data(), "fir");
  EXPECT_EQ(GlobalGetAtomName(served.first_, std::span<char>()), 0U);
  EXPECT_EQ(GlobalGetAtomName(0xC0FF, buffer), 0U);
}

TEST_F(WindowMessagesTest, DeletedAtomsAreGoneWhenDeleteReturns) {
  ServedWindow served;
  DeleteAtom(served.first_);
  std::array<char, 32> buffer{};
  EXPECT_EQ(GlobalGetAtomName(served.first_, buffer), 0U);
  DeleteAtom(served.first_);
  const std::lock_guard lock(served.mutex_);
  EXPECT_EQ(served.deleted_,
            (std::vector<std::pair<std::uint16_t, bool>>{{served.first_, true}, {served.first_, false}}));
}

TEST_F(WindowMessagesTest, ANewServerIsANewWindow) {
  WindowHandle old = 0;
  {
    ServedWindow served;
    old = FindWindow(kClass);
    ASSERT_NE(old, 0U);
    EXPECT_THROW(MessageWindow(kClass, {}), std::system_error);  // one window per class
  }
  ServedWindow again;
  EXPECT_EQ(SendMessage(old, 1, 2, 3), 0);
  const WindowHandle fresh = FindWindow(kClass);
  EXPECT_NE(fresh, 0U);
  EXPECT_NE(fresh, old);
  EXPECT_EQ(SendMessage(fresh, 1, 2, 3), 5);
}

TEST_F(WindowMessagesTest, IdleAndMalformedPeersDoNotLockTheWindowOut) {
  ServedWindow served;
  const auto deadline = local::Clock::now() + std::chrono::seconds(2);
  std::vector<local::Socket> idle;
  for (int i = 0; i < 100; ++i) idle.push_back(local::Connect(local::WindowSocketName(kClass), deadline));
  local::Socket garbage = local::Connect(local::WindowSocketName(kClass), deadline);
  const std::vector<std::uint8_t> noise(wire::kRequestSize, 0xAB);
  ASSERT_TRUE(local::SendAll(garbage, noise, deadline));
  const auto answer = local::ReceiveToEnd(garbage, wire::kMaxAnswerSize, deadline);
  ASSERT_TRUE(answer);  // closed without an answer
  EXPECT_TRUE(answer->empty());

  const WindowHandle window = FindWindow(kClass);
  ASSERT_NE(window, 0U);
  EXPECT_EQ(SendMessage(window, 1, 20, 22), 42);
}

// Abstract names are open to every user of the machine: a window served by another user is not found.
TEST_F(WindowMessagesTest, WindowsOfOtherUsersAreNotFound) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to serve a window as another user";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(1);
    // A bare listener that answers every probe, whoever asks: only the client's own check can refuse it.
    const local::Socket listener = local::Listen(local::WindowSocketName(kClass));
    [[maybe_unused]] const auto written = ::write(ready[1], "r", 1);
    for (;;) {
      pollfd entry{listener.Fd(), POLLIN, 0};
      ::poll(&entry, 1, -1);
      const local::Socket peer(::accept(listener.Fd(), nullptr, nullptr));
      std::uint8_t request[wire::kRequestSize];
      if (::recv(peer.Fd(), request, sizeof request, MSG_WAITALL) != sizeof request) continue;
      const auto answer = wire::EncodeAnswer({true, 1, {}});
      static_cast<void>(::send(peer.Fd(), answer.data(), answer.size(), MSG_NOSIGNAL));
    }
  }
  ::close(ready[1]);
  char byte = 0;
  const bool started = ::read(ready[0], &byte, 1) == 1;
  ::close(ready[0]);
  const WindowHandle found = started ? FindWindow(kClass) : 0;
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ASSERT_TRUE(started);
  EXPECT_EQ(found, 0U);
}

}  // namespace
}  // namespace platform
