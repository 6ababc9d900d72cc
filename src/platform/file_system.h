#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The file operations the program needs, in one place. Failures other than "no such file" throw
// std::system_error whose text names the file, so the caller's report can say what went wrong.
class FileSystem {
 public:
  // True for a regular file (or a link to one); a folder of that name does not count.
  [[nodiscard]] bool FileExists(const std::string& path) const;

  // When the regular file at path was last written, as a count that grows with time (its unit is the
  // system's own); nullopt when there is no such file.
  [[nodiscard]] std::optional<std::int64_t> LastWriteTime(const std::string& path) const;

  // Names of the regular files directly in folder, in the order the file system lists them
  // (not sorted). A missing folder yields no names.
  [[nodiscard]] std::vector<std::string> ListFiles(const std::string& folder) const;

  // Copies from over to, replacing an existing target. A symbolic link at to is replaced by the copy,
  // never written through.
  void CopyFile(const std::string& from, const std::string& to) const;

  // Puts the file from in place of to in one step (to, or a link there, is replaced); from is gone
  // afterwards. Both must lie on the same file system.
  void MoveFileOver(const std::string& from, const std::string& to) const;

  // Deletes a file; a file that is already gone is no error.
  void DeleteFile(const std::string& path) const;

  // True when this process may create and replace files directly in folder, as its effective user
  // and groups. Root may write almost anywhere, so this says nothing about whose folder it is.
  [[nodiscard]] bool CanWriteFolder(const std::string& folder) const;
};

}  // namespace platform
