#pragma once

// The one way *_windows.cpp sources reach the Win32 API. windows.h defines the A/W switch macros
// under names the platform layer uses for its own functions (FileSystem::CopyFile, FindWindow,
// SendMessage ...); they are undefined here, and the API is called by the full names of its
// A functions (CopyFileA, FindWindowA) instead.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef CopyFile
#undef CreateFile
#undef CreateProcess
#undef DeleteFile
#undef FindWindow
#undef GetMessage
#undef GlobalGetAtomName
#undef MoveFile
#undef RegisterWindowMessage
#undef ReplaceFile
#undef SendMessage

#include <string>
#include <system_error>

namespace platform::win32 {

// The calling thread's last Win32 error as an exception whose text starts with what.
[[nodiscard]] inline std::system_error LastError(const std::string& what) {
  return {static_cast<int>(::GetLastError()), std::system_category(), what};
}

}  // namespace platform::win32
