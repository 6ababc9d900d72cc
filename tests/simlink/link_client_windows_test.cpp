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
#include "platform/pipe.h"
#include "platform/process.h"
#include "platform/window_messages.h"
#include "simlink/fs_connect.h"
#include "simlink/test_namespace.h"

namespace {

constexpr std::chrono::milliseconds kTestTimeout{1500};

// The link server program running under the test's namespace, started through the runner's own
// platform layer; its output is read until it is ready and again when it stops.
class LinkServer {
 public:
  LinkServer(const std::string& prefix, const std::string& options) {
    if (platform::CreatePipe(pipe_) != 0 ||
        !platform::StartChild("\"" PARKMARQ_LINKSERVER_PATH "\" --namespace " + prefix + " " + options,
                              pipe_.writeEnd)) {
      ADD_FAILURE() << "cannot start the link server";
    }
    pipe_.writeEnd.Close();
    if (!ReadUntil("ready")) ADD_FAILURE() << "the link server did not get ready: " << printed_;
  }
  ~LinkServer() { Stop(); }

  // Closes the server's window (or ends a hung server) and returns everything it printed.
  std::string Stop() {
    const HWND window = ::FindWindowA(platform::WindowMessagesName(simlink::kServerClass).c_str(), nullptr);
    if (window == nullptr) return printed_;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    DWORD_PTR ignored = 0;
    if (::SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) == 0) {
      const HANDLE hung = ::OpenProcess(PROCESS_TERMINATE, FALSE, process);
      ::TerminateProcess(hung, 1);
      ::CloseHandle(hung);
    } else {
      static_cast<void>(ReadUntil("stopped:"));
    }
    return printed_;
  }

  // The atom the server's n-th reply (from 1) went out in, from its line "answered with atom XXXX: ...";
  // 0 when no such line comes.
  [[nodiscard]] ATOM ReplyAtom(int n) {
    constexpr std::string_view kMarker = "with atom ";
    for (;;) {
      std::size_t at = printed_.find(kMarker);
      for (int found = 1; found < n && at != std::string::npos; ++found) at = printed_.find(kMarker, at + 1);
      if (at != std::string::npos && printed_.find('\n', at) != std::string::npos) {
        return static_cast<ATOM>(std::strtoul(printed_.c_str() + at + kMarker.size(), nullptr, 16));
      }
      if (!ReadUntil("\n", std::chrono::seconds(5))) return 0;
    }
  }

 private:
  // Reads until marker appears after what was read so far; false when the output ends or stays silent
  // for limit first. Wine's desktop process, started by the server's first window, may hold the pipe
  // as long as Wine runs, so the end of the output is never waited for.
  bool ReadUntil(const std::string& marker, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const std::size_t from = printed_.size();
    std::array<char, 256> buffer;
    while (printed_.find(marker, from) == std::string::npos) {
      if (!platform::WaitReadable(pipe_.readEnd, limit)) return false;
      const platform::ReadResult read = platform::ReadSome(pipe_.readEnd, buffer);
      if (!read.ok) return false;
      printed_.append(buffer.data(), read.count);
    }
    return true;
  }

  platform::Pipe pipe_;
  std::string printed_;
};

class LinkClientWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetWindowMessagesForTesting(prefix_, kTestTimeout); }
  void TearDown() override { platform::SetWindowMessagesForTesting(""); }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(60)};
  std::string prefix_ = simlink_testing::UniqueNamespace();
  simlink::FSConnect link_;
};

TEST_F(LinkClientWindowsTest, RepliesArriveAndEveryAtomIsFreed) {
  LinkServer server(prefix_, "--var 86=90");
  std::string head;
  std::string tail;
  std::int32_t first = 0;
  std::int32_t second = 0;
  ASSERT_EQ(link_.fscGetInfo(head, tail, first, second), simlink::kReplyDecoded);
  EXPECT_EQ(head, "PMQLS");
  const ATOM infoAtom = server.ReplyAtom(1);
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
  const ATOM readAtom = server.ReplyAtom(2);
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
    prefix_ = simlink_testing::UniqueNamespace();
    platform::SetWindowMessagesForTesting(prefix_, kTestTimeout);
    std::optional<LinkServer> server;
    if (options != nullptr) server.emplace(prefix_, options);
    std::string head = "kept";
    std::string tail = "kept";
    std::int32_t first = 5;
    std::int32_t second = 6;
    EXPECT_EQ(link_.fscGetInfo(head, tail, first, second), result);
    EXPECT_EQ(head + tail + std::to_string(first) + std::to_string(second), "keptkept56");
  }
}

}  // namespace
