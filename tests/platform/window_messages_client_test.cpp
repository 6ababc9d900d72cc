// The client calls against a message window served on a thread of the test, under a test prefix.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "helpers/process_probe.h"
#include "platform/window_messages.h"
#include "platform/window_messages_host.h"
#include "platform/window_messages_socket.h"
#include "simlink/test_namespace.h"

namespace platform {
namespace {

constexpr std::chrono::milliseconds kTestTimeout{1500};
constexpr std::string_view kClass = "TESTCLASS";

// A message window served on a thread of the test with two atoms; it answers wParam + lParam, or nothing
// for wParam 99.
class WindowMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetWindowMessagesForTesting(simlink_testing::UniqueNamespace(), kTestTimeout);
    WindowHandlers handlers;
    handlers.onMessage = [](std::uint32_t, std::uint32_t wParam, std::int32_t lParam) -> std::optional<std::int32_t> {
      if (wParam == 99) return std::nullopt;
      return static_cast<std::int32_t>(wParam + static_cast<std::uint32_t>(lParam));  // wraps, as the bits do
    };
    window_.emplace(kClass, handlers);
    first_ = window_->Atoms().Add("first atom");
    second_ = window_->Atoms().Add(std::string(kMaxAtomLength, 'y'));
    thread_ = std::thread([this] { window_->Run(); });
  }
  void TearDown() override {
    if (thread_.joinable()) {
      window_->Stop();
      thread_.join();
    }
    SetWindowMessagesForTesting("");
  }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(30)};
  std::optional<MessageWindow> window_;
  std::thread thread_;
  std::uint16_t first_ = 0;
  std::uint16_t second_ = 0;
};

TEST_F(WindowMessagesTest, AnUnansweredMessageTimesOutAndTheWindowServesOn) {
  const WindowHandle window = FindWindow(kClass);
  ASSERT_NE(window, 0U);
  EXPECT_THROW(MessageWindow(kClass, {}), std::system_error);  // one window per class
  const auto start = local::Clock::now();
  EXPECT_EQ(SendMessage(window, 1, 99, 5), 0);
  EXPECT_GE(local::Clock::now() - start, kTestTimeout);
  EXPECT_LT(local::Clock::now() - start, kTestTimeout + std::chrono::seconds(1));
  EXPECT_EQ(SendMessage(window, 7, 0xFFFFFFFF, -2147483647 - 1), 0x7FFFFFFF);
}

TEST_F(WindowMessagesTest, AtomTextsFitTheBufferAndDeletedAtomsAreGone) {
  std::array<char, kMaxAtomLength> buffer{};
  ASSERT_EQ(GlobalGetAtomName(first_, buffer), 10U);
  EXPECT_STREQ(buffer.data(), "first atom");
  // A 255-character atom in a 255-character buffer: 254 characters and the terminating 0.
  ASSERT_EQ(GlobalGetAtomName(second_, buffer), kMaxAtomLength - 1);
  EXPECT_EQ(std::string(buffer.data()), std::string(kMaxAtomLength - 1, 'y'));
  std::array<char, 4> small{};
  EXPECT_EQ(GlobalGetAtomName(first_, small), 3U);
  EXPECT_STREQ(small.data(), "fir");
  EXPECT_EQ(GlobalGetAtomName(first_, std::span<char>()), 0U);

  DeleteAtom(first_);
  EXPECT_EQ(GlobalGetAtomName(first_, buffer), 0U);
  EXPECT_EQ(buffer[0], '\0');
  DeleteAtom(first_);  // a second time is harmless and leaves the other atoms alone
  EXPECT_EQ(GlobalGetAtomName(second_, buffer), kMaxAtomLength - 1);
}

TEST_F(WindowMessagesTest, IdleAndMalformedPeersDoNotLockTheWindowOut) {
  const auto deadline = local::Clock::now() + std::chrono::seconds(2);
  std::vector<local::Socket> idle;
  for (int i = 0; i < 100; ++i) idle.push_back(local::Connect(local::WindowSocketName(kClass), deadline));
  local::Socket garbage = local::Connect(local::WindowSocketName(kClass), deadline);
  ASSERT_TRUE(local::SendAll(garbage, std::vector<std::uint8_t>(wire::kRequestSize, 0xAB), deadline));
  const auto answer = local::ReceiveToEnd(garbage, wire::kMaxAnswerSize, deadline);
  ASSERT_TRUE(answer);  // closed without an answer
  EXPECT_TRUE(answer->empty());
  EXPECT_EQ(SendMessage(FindWindow(kClass), 1, 20, 22), 42);
}

// Abstract names are open to every user of the machine: a listener of another user is refused.
TEST(WindowMessages, ListenersOfOtherUsersAreRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to listen as another user";
  const test_helpers::Watchdog watchdog(std::chrono::seconds(30));
  const std::string name = local::WindowSocketName(kClass) + simlink_testing::UniqueNamespace();
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    try {
      if (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0) {
        const local::Socket listener = local::Listen(name);  // the kernel completes connections without accept
        [[maybe_unused]] const auto written = ::write(ready[1], "r", 1);
        ::pause();
      }
    } catch (...) {
    }
    ::_exit(1);
  }
  ::close(ready[1]);
  char byte = 0;
  const bool started = ::read(ready[0], &byte, 1) == 1;
  ::close(ready[0]);
  const bool connected = started && local::Connect(name, local::Clock::now() + kTestTimeout).Valid();
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ASSERT_TRUE(started);
  EXPECT_FALSE(connected);
}

}  // namespace
}  // namespace platform
