#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/output_file.h"

namespace platform {
namespace {

std::system_error LastError(const std::string& what) {
  return {errno, std::generic_category(), what};
}

void RemoveSymbolicLink(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode) && ::unlink(path.c_str()) != 0) {
    throw LastError("cannot replace the symbolic link \"" + path + "\"");
  }
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes a rename in folder survive a crash; a folder that cannot be synced only loses that guarantee.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path) {
  RemoveSymbolicLink(path_);
  handle_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (handle_ == kNoHandle) throw LastError("cannot create \"" + path_ + "\"");
}

OutputFile::~OutputFile() {
  if (handle_ != kNoHandle) ::close(static_cast<int>(handle_));
}

std::error_code OutputFile::TryWrite(std::string_view bytes) noexcept {
  if (handle_ == kNoHandle) return std::make_error_code(std::errc::bad_file_descriptor);
  while (!bytes.empty()) {
    const ssize_t written = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return {errno, std::generic_category()};
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

void OutputFile::Write(std::string_view bytes) {
  if (const auto error = TryWrite(bytes)) throw std::system_error(error, "cannot write \"" + path_ + "\"");
}

void OutputFile::Sync() {
  if (::fsync(static_cast<int>(handle_)) != 0) throw LastError("cannot save \"" + path_ + "\" to the disk");
}

void OutputFile::Close() {
  if (handle_ == kNoHandle) return;
  const int fd = static_cast<int>(handle_);
  handle_ = kNoHandle;
  if (::close(fd) != 0 && errno != EINTR) throw LastError("cannot finish writing \"" + path_ + "\"");
}

void WriteFileAtomically(const std::string& path, std::string_view content) {
  // A name of its own per process and attempt, so that two programs saving at once never share one.
  static unsigned attempt = 0;
  std::string temporary;
  int fd = -1;
  for (int tries = 0; fd < 0 && tries < 100; ++tries) {
    temporary = path + "." + std::to_string(::getpid()) + "." + std::to_string(++attempt) + ".tmp";
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) throw LastError("cannot write \"" + path + "\"");
  ::close(fd);
  try {
    OutputFile file(temporary);
    file.Write(content);
    file.Sync();
    file.Close();
    if (::rename(temporary.c_str(), path.c_str()) != 0) throw LastError("cannot replace \"" + path + "\"");
  } catch (const std::system_error& error) {
    ::unlink(temporary.c_str());
    throw std::system_error(error.code(), "cannot write \"" + path + "\"");
  }
  SyncFolder(FolderOf(path));
}

}  // namespace platform
