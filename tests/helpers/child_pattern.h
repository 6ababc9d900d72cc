#pragma once

#include <cstddef>
#include <string>

namespace test_helpers {

// What runner_child's "write" mode prints: lines of 99 printable characters, each shifted against the
// one before, repeating after kPatternPeriod bytes, so no two neighbouring 256-byte blocks are alike.
inline constexpr std::size_t kPatternPeriod = 9000;

[[nodiscard]] inline std::string PatternBytes(std::size_t count) {
  std::string bytes(count, '\n');
  for (std::size_t i = 0; i < count; ++i) {
    if (i % 100 != 99) bytes[i] = static_cast<char>('!' + (i / 100 + i) % 90);
  }
  return bytes;
}

}  // namespace test_helpers
