#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/output_file.h"
#include "platform/save_temporary.h"

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

namespace {

constexpr int kMostLinksFollowed = 40;

// The file a chain of symbolic links at path ends in (path itself when it is no link); the file
// need not exist.
std::string FinalTarget(std::string path) {
  for (int hops = 0; hops < kMostLinksFollowed; ++hops) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 4096) + 1, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0) throw LastError("cannot follow the symbolic link \"" + path + "\"");
    target.resize(static_cast<std::size_t>(length));
    path = target.starts_with('/') ? target : FolderOf(path) + "/" + target;
  }
  throw std::system_error(ELOOP, std::generic_category(), "cannot follow the symbolic link \"" + path + "\"");
}

bool ProcessRuns(pid_t pid) {
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace

bool IsReadOnlyFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  // The mode bits count even for root, whom they do not stop.
  return (status.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0;
}

void WriteFileAtomically(const std::string& path, std::string_view content, FileKind kind) {
  const std::string target = FinalTarget(path);
  if (IsReadOnlyFile(target)) {
    throw std::system_error(EACCES, std::generic_category(), "cannot write \"" + path + "\", which is read-only");
  }
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  // A name of its own per process and attempt, so that two programs saving at once never share one.
  static unsigned attempt = 0;
  std::string temporary;
  int fd = -1;
  for (int tries = 0; fd < 0 && tries < 100; ++tries) {
    temporary = SaveTemporaryName(target, static_cast<unsigned long>(::getpid()), ++attempt);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kind == FileKind::Program ? 0777 : 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) throw LastError("cannot write \"" + path + "\"");
  // The new file keeps the permissions of the one it replaces.
  if (replacing) (void)::fchmod(fd, old.st_mode & 07777);
  ::close(fd);
  try {
    OutputFile file(temporary);
    file.Write(content);
    file.Sync();
    file.Close();
    if (::rename(temporary.c_str(), target.c_str()) != 0) throw LastError("cannot replace \"" + target + "\"");
  } catch (const std::system_error& error) {
    ::unlink(temporary.c_str());
    throw std::system_error(error.code(), "cannot write \"" + path + "\"");
  }
  SyncFolder(FolderOf(target));
}

void RemoveAbandonedTemporaries(const std::string& path) noexcept {
  try {
    const std::string target = FinalTarget(path);
    const std::string folder = FolderOf(target);
    const std::string name = target.substr(target.find_last_of('/') + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> abandoned;
    while (const dirent* entry = ::readdir(dir)) {
      const auto owner = static_cast<pid_t>(SaveTemporaryOwner(entry->d_name, name));
      if (owner > 0 && !ProcessRuns(owner)) abandoned.push_back(folder + "/" + entry->d_name);
    }
    ::closedir(dir);
    for (const auto& file : abandoned) (void)::unlink(file.c_str());
  } catch (...) {
    // Leftovers are only clutter: they never stand in the way of a save.
  }
}

}  // namespace platform
