#include <string>

#include "platform/output_file.h"
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

void WriteFileAtomically(const std::string& path, std::string_view content) {
  // A name of its own per process and attempt, so that two programs saving at once never share one.
  static unsigned attempt = 0;
  std::string temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int tries = 0; file == INVALID_HANDLE_VALUE && tries < 100; ++tries) {
    temporary = path + "." + std::to_string(::GetCurrentProcessId()) + "." + std::to_string(++attempt) + ".tmp";
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

}  // namespace platform
