#include <string>

#include "platform/file_system.h"
#include "platform/path.h"
#include "platform/win32_api.h"

namespace platform {
namespace {

[[nodiscard]] bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY;
}

struct FindHandle {
  HANDLE handle;
  ~FindHandle() { ::FindClose(handle); }
};

}  // namespace

bool FileSystem::FileExists(const std::string& path) const {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::int64_t> FileSystem::LastWriteTime(const std::string& path) const {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                   data.ftLastWriteTime.dwLowDateTime);
}

std::vector<std::string> FileSystem::ListFiles(const std::string& folder) const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const HANDLE handle = ::FindFirstFileA(JoinPath(folder, "*").c_str(), &found);
  if (handle == INVALID_HANDLE_VALUE) {
    if (IsMissing(::GetLastError())) return names;
    throw win32::LastError("cannot list the folder \"" + folder + "\"");
  }
  const FindHandle closeHandle{handle};
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(found.cFileName);
  } while (::FindNextFileA(handle, &found));
  if (::GetLastError() != ERROR_NO_MORE_FILES) throw win32::LastError("cannot list the folder \"" + folder + "\"");
  return names;
}

void FileSystem::CopyFile(const std::string& from, const std::string& to) const {
  // CopyFileA refuses a file onto itself (the target is open for reading), so the source is never emptied.
  const auto failure = [&] { return win32::LastError("cannot copy \"" + from + "\" to \"" + to + "\""); };
  if (!::CopyFileA(from.c_str(), to.c_str(), FALSE)) throw failure();
  // The copy is a working file the next build rewrites: a read-only source must not make it read-only.
  const DWORD attributes = ::GetFileAttributesA(to.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) throw failure();
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
      !::SetFileAttributesA(to.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) {
    throw failure();
  }
}

void FileSystem::MoveFileOver(const std::string& from, const std::string& to) const {
  if (!::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw win32::LastError("cannot move \"" + from + "\" to \"" + to + "\"");
  }
}

void FileSystem::DeleteFile(const std::string& path) const {
  if (!::DeleteFileA(path.c_str()) && !IsMissing(::GetLastError())) {
    throw win32::LastError("cannot delete \"" + path + "\"");
  }
}

bool FileSystem::CanWriteFolder(const std::string& folder) const {
  // Access lists decide, and only an attempt answers for sure: a file of a unique name, made and removed.
  std::string probe(MAX_PATH, '\0');
  if (::GetTempFileNameA(folder.c_str(), "pmq", 0, probe.data()) == 0) return false;
  ::DeleteFileA(probe.c_str());
  return true;
}

}  // namespace platform
