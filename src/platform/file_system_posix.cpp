#include "platform/file_system.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

bool FileSystem::FileExists(const std::string& path) const {
  std::error_code error;
  return fs::is_regular_file(path, error);
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
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(to, error))) {
    fs::remove(to, error);
    if (error) throw std::system_error(error, "cannot replace the symbolic link \"" + to + "\"");
  }
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (error) throw std::system_error(error, "cannot copy \"" + from + "\" to \"" + to + "\"");
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

}  // namespace platform
