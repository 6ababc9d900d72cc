#include <string>

#include "platform/app_folder.h"
#include "platform/path.h"
#include "platform/win32_api.h"

namespace platform {

std::string ApplicationFolder() {
  // GetModuleFileNameA cuts the name short without failing when the buffer is too small.
  std::string exe(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
    if (length == 0) throw win32::LastError("cannot find the program's own folder");
    if (length < exe.size()) {
      exe.resize(length);
      break;
    }
    exe.resize(exe.size() * 2);
  }
  const auto separator = FindLastCharacterOf(exe, std::string_view(&kPathSeparator, 1));
  return separator == std::string::npos ? std::string() : exe.substr(0, separator);
}

}  // namespace platform
