#pragma once

#include <cstddef>

namespace test_helpers {

// How many descriptors (POSIX), or handles of files, processes and other processes' threads
// (Windows), this process holds open now: what a leak of pipe ends or child handles makes grow.
[[nodiscard]] std::size_t OpenHandleCount();

}  // namespace test_helpers
