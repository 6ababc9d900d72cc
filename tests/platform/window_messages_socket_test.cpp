#include "platform/window_messages_socket.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace platform::local {
namespace {

// The sockets go where only this user can create them: $XDG_RUNTIME_DIR when that is its own private
// folder, otherwise a private folder under /tmp.
TEST(SocketFolder, OnlyAPrivateFolderOfThisUser) {
  const testing_support::TempFolder temp;
  const std::string own = temp.Str() + "/own";
  const std::string open = temp.Str() + "/open";
  const std::string link = temp.Str() + "/link";
  const std::string others = temp.Str() + "/others";
  ASSERT_EQ(::mkdir(own.c_str(), 0700), 0);
  ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(open.c_str(), 0750), 0);
  ASSERT_EQ(::symlink(own.c_str(), link.c_str()), 0);
  ASSERT_EQ(::mkdir(others.c_str(), 0700), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(others.c_str(), 65534, 65534), 0);
  }

  const char* const saved = std::getenv("XDG_RUNTIME_DIR");
  const std::optional<std::string> before = saved ? std::optional<std::string>(saved) : std::nullopt;
  const std::string fallback = "/tmp/parkmarq-" + std::to_string(::geteuid());
  struct Row {
    std::optional<std::string> runtime;
    std::string folder;
  };
  std::vector<Row> rows{{own, own}, {open, fallback}, {link, fallback}, {"own", fallback}, {std::nullopt, fallback}};
  if (root) rows.push_back({others, fallback});
  for (const Row& row : rows) {
    SCOPED_TRACE(row.runtime.value_or("unset"));
    row.runtime ? ::setenv("XDG_RUNTIME_DIR", row.runtime->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SocketFolder(), row.folder);
  }
  before ? ::setenv("XDG_RUNTIME_DIR", before->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");

  struct stat info {};
  ASSERT_EQ(::lstat(fallback.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700U);
}

}  // namespace
}  // namespace platform::local
