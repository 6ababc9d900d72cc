#pragma once

#include <cstdint>

namespace platform {

// What the system hands out for an open file: a descriptor on POSIX, a HANDLE on Windows. Both fit,
// and -1 is "none" on both (INVALID_HANDLE_VALUE on Windows).
using NativeHandle = std::intptr_t;
inline constexpr NativeHandle kNoHandle = -1;

}  // namespace platform
