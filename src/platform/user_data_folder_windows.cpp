#include <cstdlib>
#include <stdexcept>

#include "platform/user_data_folder.h"

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

}  // namespace platform
