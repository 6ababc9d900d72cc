#include <cstdlib>
#include <stdexcept>

#include "platform/user_data_folder.h"
#include "platform/win32_api.h"
// windows.h first
#include <shlobj.h>

namespace platform {
namespace {

[[nodiscard]] std::string Variable(const char* name, const char* what) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] == '\0')
    throw std::runtime_error(std::string("cannot find ") + what + ": " + name + " is not set");
  return value;
}

}  // namespace

std::string HomeFolder() {
  return Variable("USERPROFILE", "the user's home folder");
}

std::string UserDataFolder() {
  return Variable("LOCALAPPDATA", "the user's data folder");
}

std::string DocumentsFolder() {
  // The older call of the two that name it, so that it needs no wide-character conversion and runs on
  // every Windows the program supports.
  char path[MAX_PATH] = {};
  if (SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path))) return path;
  return HomeFolder();
}

}  // namespace platform
