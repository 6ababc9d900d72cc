#include "platform/app_folder.h"

#include <filesystem>
#include <system_error>

namespace platform {

std::string ApplicationFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) throw std::system_error(error, "cannot find the program's own folder");
  return exe.parent_path().string();
}

}  // namespace platform
