#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/file_system.h"
#include "platform/output_file.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

struct Descriptor {
  int fd;
  ~Descriptor() { ::close(fd); }
};

}  // namespace

bool FileSystem::FileExists(const std::string& path) const {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

std::optional<std::int64_t> FileSystem::LastWriteTime(const std::string& path) const {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
}

std::vector<std::string> FileSystem::ListFiles(const std::string& folder) const {
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator it(folder, error);
  if (error) {
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory) return names;
    throw std::system_error(error, "cannot list the folder \"" + folder + "\"");
  }
  for (const auto& entry : it) {
    std::error_code typeError;
    if (entry.is_regular_file(typeError)) names.push_back(entry.path().filename().string());
  }
  return names;
}

void FileSystem::CopyFile(const std::string& from, const std::string& to) const {
  // Copied by hand rather than with std::filesystem so that a full disk is reported as such and a
  // link at the target is replaced instead of followed.
  const auto failure = [&](int error) {
    return std::system_error(error, std::generic_category(), "cannot copy \"" + from + "\" to \"" + to + "\"");
  };
  const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) throw failure(errno);
  const Descriptor closeSource{source};
  struct stat sourceStatus {};
  if (::fstat(source, &sourceStatus) != 0) throw failure(errno);
  if (S_ISDIR(sourceStatus.st_mode)) throw failure(EISDIR);
  struct stat targetStatus {};
  if (::lstat(to.c_str(), &targetStatus) == 0 && targetStatus.st_dev == sourceStatus.st_dev &&
      targetStatus.st_ino == sourceStatus.st_ino) {
    throw failure(EINVAL);  // emptying the target would empty the source
  }
  try {
    OutputFile target(to);
    std::array<char, 65536> buffer;
    for (;;) {
      const ssize_t got = ::read(source, buffer.data(), buffer.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw failure(errno);
      if (got == 0) break;
      if (const auto error = target.TryWrite(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
        throw failure(error.value());
      }
    }
    target.Close();
  } catch (const std::system_error& error) {
    throw failure(error.code().value());
  }
}

void FileSystem::MoveFileOver(const std::string& from, const std::string& to) const {
  std::error_code error;
  fs::rename(from, to, error);
  if (error) throw std::system_error(error, "cannot move \"" + from + "\" to \"" + to + "\"");
}

void FileSystem::DeleteFile(const std::string& path) const {
  std::error_code error;
  fs::remove(path, error);
  if (error) throw std::system_error(error, "cannot delete \"" + path + "\"");
}

bool FileSystem::CanWriteFolder(const std::string& folder) const {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace platform
