#include <string>
#include <vector>

#include "platform/output_file.h"
#include "platform/path.h"
#include "platform/save_temporary.h"
#include "platform/win32_api.h"

namespace platform {
namespace {

HANDLE ToHandle(NativeHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// Shared for reading so that a log can be watched while it grows; never inherited by a child.
HANDLE Create(const std::string& path, DWORD disposition) {
  return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path) {
  const HANDLE file = Create(path_, CREATE_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) throw win32::LastError("cannot create \"" + path_ + "\"");
  handle_ = reinterpret_cast<NativeHandle>(file);
}

OutputFile::~OutputFile() {
  if (handle_ != kNoHandle) ::CloseHandle(ToHandle(handle_));
}

std::error_code OutputFile::TryWrite(std::string_view bytes) noexcept {
  if (handle_ == kNoHandle) return std::make_error_code(std::errc::bad_file_descriptor);
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(ToHandle(handle_), bytes.data(), chunk, &written, nullptr)) {
      return {static_cast<int>(::GetLastError()), std::system_category()};
    }
    bytes.remove_prefix(written);
  }
  return {};
}

void OutputFile::Write(std::string_view bytes) {
  if (const auto error = TryWrite(bytes)) throw std::system_error(error, "cannot write \"" + path_ + "\"");
}

void OutputFile::Sync() {
  if (!::FlushFileBuffers(ToHandle(handle_))) throw win32::LastError("cannot save \"" + path_ + "\" to the disk");
}

void OutputFile::Close() {
  if (handle_ == kNoHandle) return;
  const HANDLE file = ToHandle(handle_);
  handle_ = kNoHandle;
  if (!::CloseHandle(file)) throw win32::LastError("cannot finish writing \"" + path_ + "\"");
}

bool IsReadOnlyFile(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Windows knows a program by its name, not by a permission: both kinds are written alike.
void WriteFileAtomically(const std::string& path, std::string_view content, FileKind /*kind*/) {
  if (IsReadOnlyFile(path)) {
    throw std::system_error(ERROR_ACCESS_DENIED, std::system_category(),
                            "cannot write \"" + path + "\", which is read-only");
  }
  // A name of its own per process and attempt, so that two programs saving at once never share one.
  static unsigned attempt = 0;
  std::string temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int tries = 0; file == INVALID_HANDLE_VALUE && tries < 100; ++tries) {
    temporary = SaveTemporaryName(path, ::GetCurrentProcessId(), ++attempt);
    file = Create(temporary, CREATE_NEW);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) throw win32::LastError("cannot write \"" + path + "\"");
  ::CloseHandle(file);
  try {
    OutputFile output(temporary);
    output.Write(content);
    output.Sync();
    output.Close();
    // Write-through: the call returns once the new name is on the disk, as the folder sync does on POSIX.
    if (!::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      throw win32::LastError("cannot replace \"" + path + "\"");
    }
  } catch (const std::system_error& error) {
    ::DeleteFileA(temporary.c_str());
    throw std::system_error(error.code(), "cannot write \"" + path + "\"");
  }
}

namespace {

bool ProcessRuns(DWORD pid) {
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
  DWORD exitCode = 0;
  const bool running = ::GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
  ::CloseHandle(process);
  return running;
}

}  // namespace

void RemoveAbandonedTemporaries(const std::string& path) noexcept {
  try {
    const auto separator = FindLastCharacterOf(path, "\\/");
    const std::string folder = separator == std::string::npos ? "" : path.substr(0, separator + 1);
    const std::string name = path.substr(folder.size());
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA((path + ".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> abandoned;
    do {
      const auto owner = static_cast<DWORD>(SaveTemporaryOwner(found.cFileName, name));
      if (owner != 0 && !ProcessRuns(owner)) abandoned.push_back(folder + found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    for (const auto& file : abandoned) ::DeleteFileA(file.c_str());
  } catch (...) {
    // Leftovers are only clutter: they never stand in the way of a save.
  }
}

}  // namespace platform
