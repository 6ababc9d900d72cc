#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "platform/path.h"
#include "platform/user_data_folder.h"

namespace platform {
namespace {

[[nodiscard]] bool IsAbsolute(const char* path) {
  return path != nullptr && path[0] == kPathSeparator;
}

}  // namespace

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); IsAbsolute(home)) return home;
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      IsAbsolute(found->pw_dir)) {
    return found->pw_dir;
  }
  throw std::runtime_error("cannot find the user's home folder: HOME is not set and the user has no entry");
}

std::string UserDataFolder() {
  // The base directory rules ignore a relative value, as an unset one.
  if (const char* data = std::getenv("XDG_DATA_HOME"); IsAbsolute(data)) {
    std::string folder(data);
    while (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
    return folder;
  }
  return JoinPath(JoinPath(HomeFolder(), ".local"), "share");
}

}  // namespace platform
