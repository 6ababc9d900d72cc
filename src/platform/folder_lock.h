#pragma once

#include <optional>
#include <string>

#include "platform/native_handle.h"

namespace platform {

// An exclusive lock on a folder, shared by every process that locks the same folder this way (and by
// separate locks within one process). Released when the object goes; a process that dies releases
// it too. Programs the holder starts do not inherit it.
class FolderLock {
 public:
  // Waits until no one else holds the lock. Throws std::system_error naming the folder when it cannot
  // be opened (missing, not a folder).
  [[nodiscard]] static FolderLock Wait(const std::string& folder);
  // The lock, or nullopt while someone else holds it. Throws as Wait does.
  [[nodiscard]] static std::optional<FolderLock> Try(const std::string& folder);

  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

 private:
  explicit FolderLock(NativeHandle handle) : handle_(handle) {}
  NativeHandle handle_ = kNoHandle;  // the locked folder on POSIX, the open lock file on Windows
};

}  // namespace platform
