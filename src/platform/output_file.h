#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "platform/native_handle.h"

namespace platform {

// A file written from the start, byte for byte. Failures throw std::system_error whose text names the
// file, or come back as an error code from TryWrite where a caller must not throw.
class OutputFile {
 public:
  // Creates path, or empties the file there. On POSIX a symbolic link at path is removed first so that
  // the new file takes its place: a link in a working folder never leads the write elsewhere.
  explicit OutputFile(const std::string& path);
  ~OutputFile();  // closes without reporting; call Close to learn whether the close worked
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  // Writes all bytes, or returns why not (a full disk, a file size limit).
  [[nodiscard]] std::error_code TryWrite(std::string_view bytes) noexcept;
  // Waits until what was written is on the disk.
  void Sync();
  // Closes the file; a second call does nothing.
  void Close();

  [[nodiscard]] const std::string& Path() const { return path_; }

 private:
  std::string path_;
  NativeHandle handle_ = kNoHandle;
};

// Replaces the file at path with content in one step: content goes into a new file beside it, is
// synced to the disk and renamed over path. Anyone reading path, also after a crash or a kill, finds
// the old content or the new, never a part. On POSIX a symbolic link at path is followed and the file
// it leads to replaced, and the new file keeps the old one's permissions. A read-only file (IsReadOnlyFile)
// is not replaced. Throws std::system_error naming path when that fails or the file is read-only;
// the old file is then untouched and the new one gone.
// A program being run from path keeps running from the old file. A new file of kind Program may be run.
enum class FileKind { Data, Program };
void WriteFileAtomically(const std::string& path, std::string_view content, FileKind kind = FileKind::Data);

// Removes what a WriteFileAtomically of path left behind when its process was killed midway: new
// files beside the file (or the file a link at path leads to) whose writer no longer runs. Best
// effort; it never fails.
void RemoveAbandonedTemporaries(const std::string& path) noexcept;

// True for an existing file (or a link to one) marked read-only: its owner may not write it. The
// mark counts also for a user whom it does not stop, such as an administrator.
[[nodiscard]] bool IsReadOnlyFile(const std::string& path);

}  // namespace platform
