#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <string_view>

#include "helpers/open_handles.h"

namespace test_helpers {
namespace {

// A pipe end is a File, a child a Process and its thread a Thread of another process. The system and the C++
// runtime make events, semaphores, keys and threads of this process of their own when they first need them,
// which would blur the count.
[[nodiscard]] bool IsCounted(HANDLE handle) {
  struct {
    UNICODE_STRING name;
    WCHAR room[128];
  } type{};
  ULONG length = 0;
  constexpr auto kObjectTypeInformation = static_cast<OBJECT_INFORMATION_CLASS>(2);
  if (::NtQueryObject(handle, kObjectTypeInformation, &type, sizeof type, &length) != 0 || !type.name.Buffer) {
    return false;
  }
  const std::wstring_view name(type.name.Buffer, type.name.Length / sizeof(WCHAR));
  if (name == L"Thread") return ::GetProcessIdOfThread(handle) != ::GetCurrentProcessId();
  return name == L"File" || name == L"Process";
}

}  // namespace

// Counted one by one, as GetProcessHandleCount always reports 0 under Wine; up to a value far above what a
// test program holds, yet quick to walk.
std::size_t OpenHandleCount() {
  std::size_t count = 0;
  DWORD flags = 0;
  for (std::uintptr_t value = 4; value <= 0x10000; value += 4) {
    const auto handle = reinterpret_cast<HANDLE>(value);
    if (::GetHandleInformation(handle, &flags) != 0 && IsCounted(handle)) ++count;
  }
  return count;
}

}  // namespace test_helpers
