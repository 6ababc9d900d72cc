#include <system_error>
#include <utility>

#include "platform/folder_lock.h"
#include "platform/path.h"
#include "platform/win32_api.h"

namespace platform {
namespace {

// Every program that builds in a folder opens this file in it, unshared; the system deletes it when
// the last handle goes, also when the holder dies.
constexpr const char* kLockFileName = "parkmarq.lock";
constexpr DWORD kPollMilliseconds = 50;

HANDLE ToHandle(NativeHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// The open lock file; INVALID_HANDLE_VALUE when someone else holds it and waiting was not asked for.
HANDLE Take(const std::string& folder, bool wait) {
  const DWORD attributes = ::GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) throw win32::LastError("cannot use the folder \"" + folder + "\"");
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    throw std::system_error(ERROR_DIRECTORY, std::system_category(), "cannot use the folder \"" + folder + "\"");
  }
  const std::string lockFile = JoinPath(folder, kLockFileName);
  for (;;) {
    const HANDLE file =
        ::CreateFileA(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = ::GetLastError();
    // A lock file that its last holder has just closed is denied until the system has deleted it.
    const bool held =
        error == ERROR_SHARING_VIOLATION ||
        (error == ERROR_ACCESS_DENIED && ::GetFileAttributesA(lockFile.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!held) {
      throw std::system_error(static_cast<int>(error), std::system_category(),
                              "cannot lock the folder \"" + folder + "\"");
    }
    if (!wait) return INVALID_HANDLE_VALUE;
    ::Sleep(kPollMilliseconds);
  }
}

}  // namespace

FolderLock FolderLock::Wait(const std::string& folder) {
  return FolderLock(reinterpret_cast<NativeHandle>(Take(folder, true)));
}

std::optional<FolderLock> FolderLock::Try(const std::string& folder) {
  const HANDLE file = Take(folder, false);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  return FolderLock(reinterpret_cast<NativeHandle>(file));
}

FolderLock::FolderLock(FolderLock&& other) noexcept : handle_(std::exchange(other.handle_, kNoHandle)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    if (handle_ != kNoHandle) ::CloseHandle(ToHandle(handle_));
    handle_ = std::exchange(other.handle_, kNoHandle);
  }
  return *this;
}

FolderLock::~FolderLock() {
  if (handle_ != kNoHandle) ::CloseHandle(ToHandle(handle_));
}

}  // namespace platform
