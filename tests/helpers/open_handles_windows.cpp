#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <winternl.h>

#include <array>
#include <cstdint>
#include <string_view>

#include "helpers/open_handles.h"

namespace test_helpers {
namespace {

// Far above what a test program holds, yet quick to walk; a leak of two handles per run goes past
// it within a few thousand runs.
constexpr std::uintptr_t kHighestProbedHandle = 0x10000;

// What a pipe end and a child's process are; a child's thread is counted apart. The system and the
// C++ runtime make events, semaphores, keys and threads of this process of their own when they first
// need them, which would blur the count.
constexpr std::array<std::wstring_view, 2> kCountedTypes{L"File", L"Process"};

constexpr ULONG kObjectTypeInformation = 2;

[[nodiscard]] bool IsCounted(HANDLE handle) {
  struct {
    UNICODE_STRING name;
    WCHAR room[128];
  } type{};
  ULONG length = 0;
  if (::NtQueryObject(handle, static_cast<OBJECT_INFORMATION_CLASS>(kObjectTypeInformation), &type, sizeof type,
                      &length) != 0 ||
      type.name.Buffer == nullptr) {
    return false;
  }
  const std::wstring_view name(type.name.Buffer, type.name.Length / sizeof(WCHAR));
  if (name == L"Thread") return ::GetProcessIdOfThread(handle) != ::GetCurrentProcessId();
  for (const auto counted : kCountedTypes) {
    if (name == counted) return true;
  }
  return false;
}

}  // namespace

// Counted one by one, as GetProcessHandleCount always reports 0 under Wine.
std::size_t OpenHandleCount() {
  std::size_t count = 0;
  DWORD flags = 0;
  for (std::uintptr_t value = 4; value <= kHighestProbedHandle; value += 4) {
    const auto handle = reinterpret_cast<HANDLE>(value);
    if (::GetHandleInformation(handle, &flags) != 0 && IsCounted(handle)) ++count;
  }
  return count;
}

}  // namespace test_helpers
