#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_messages.h"
#include "platform/window_messages_socket.h"
#include "support/temp_folder.h"

namespace platform::local {
namespace {

// The sockets go where only this user can create them: $XDG_RUNTIME_DIR when that is its own private folder
// (no symbolic link, nothing for group or others, not another user's), otherwise a private folder under /tmp.
TEST(SocketFolder, OnlyAPrivateFolderOfThisUser) {
  const testing_support::TempFolder temp;
  const std::string own = temp.Str() + "/own", open = temp.Str() + "/open", others = temp.Str() + "/others";
  for (const auto& [folder, mode] : {std::pair{own, 0700}, {open, 0750}, {others, 0700}}) {
    ASSERT_EQ(::mkdir(folder.c_str(), 0700) | ::chmod(folder.c_str(), mode), 0);
  }
  ASSERT_EQ(::symlink(own.c_str(), (temp.Str() + "/link").c_str()), 0);
  const std::string fallback = "/tmp/parkmarq-" + std::to_string(::geteuid());
  std::vector<std::pair<std::optional<std::string>, std::string>> rows{
      {own, own}, {open, fallback}, {temp.Str() + "/link", fallback}, {"own", fallback}, {std::nullopt, fallback}};
  if (::geteuid() == 0 && ::chown(others.c_str(), 65534, 65534) == 0) rows.emplace_back(others, fallback);

  const char* const saved = std::getenv("XDG_RUNTIME_DIR");
  const std::optional<std::string> before = saved ? std::optional<std::string>(saved) : std::nullopt;
  for (const auto& [runtime, folder] : rows) {
    SCOPED_TRACE(runtime.value_or("unset"));
    runtime ? ::setenv("XDG_RUNTIME_DIR", runtime->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SocketFolder(), folder);
  }
  before ? ::setenv("XDG_RUNTIME_DIR", before->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
  struct stat info {};
  ASSERT_EQ(::lstat(fallback.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700U);
}

TEST(RegisterWindowMessageA, StableNumbersInTheRegisteredRange) {
  // The stand-in numbers messages itself: other processes, and other builds, must arrive at the same number.
  EXPECT_EQ(RegisterWindowMessageA("WM_FSCONNECT"), 0xE499U);
  EXPECT_EQ(RegisterWindowMessageA("wm_fsconnect"), 0xE499U);
  EXPECT_EQ(RegisterWindowMessageA(""), 0U);
  EXPECT_GE(RegisterWindowMessageA("\xFF\xFE"), 0xC000U);
}

}  // namespace
}  // namespace platform::local
