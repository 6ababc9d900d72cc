#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "platform/folder_lock.h"

namespace platform {
namespace {

// The open folder, locked; -1 when someone else holds the lock and waiting was not asked for.
int Take(const std::string& folder, bool wait) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw std::system_error(errno, std::generic_category(), "cannot use the folder \"" + folder + "\"");
  while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    ::close(fd);
    if (error == EWOULDBLOCK) return -1;
    throw std::system_error(error, std::generic_category(), "cannot lock the folder \"" + folder + "\"");
  }
  return fd;
}

}  // namespace

FolderLock FolderLock::Wait(const std::string& folder) {
  return FolderLock(Take(folder, true));
}

std::optional<FolderLock> FolderLock::Try(const std::string& folder) {
  const int fd = Take(folder, false);
  if (fd < 0) return std::nullopt;
  return FolderLock(fd);
}

FolderLock::FolderLock(FolderLock&& other) noexcept : handle_(std::exchange(other.handle_, kNoHandle)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    if (handle_ != kNoHandle) ::close(static_cast<int>(handle_));
    handle_ = std::exchange(other.handle_, kNoHandle);
  }
  return *this;
}

FolderLock::~FolderLock() {
  if (handle_ != kNoHandle) ::close(static_cast<int>(handle_));
}

}  // namespace platform
