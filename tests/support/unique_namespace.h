#pragma once

#include <unistd.h>

#include <atomic>
#include <string>

namespace testing_support {

// A window-message namespace prefix no other test program or test case uses: the process id and a
// counter, since test programs run side by side.
[[nodiscard]] inline std::string UniqueNamespace() {
  static std::atomic<int> counter{0};
  return "parkmarq-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".";
}

}  // namespace testing_support
