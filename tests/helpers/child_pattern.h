#pragma once

#include <cstddef>
#include <string>

namespace test_helpers {

// The bytes runner_child's "write" mode prints, so a test can know them without capturing them:
// printable lines of 99 characters, each line shifted against the one before, repeating after
// kPatternPeriod bytes, so no two neighbouring 256-byte blocks are alike.
inline constexpr std::size_t kPatternPeriod = 9000;

[[nodiscard]] inline char PatternByte(std::size_t index) {
  return index % 100 == 99 ? '\n' : static_cast<char>('!' + (index / 100 + index) % 90);
}

[[nodiscard]] inline std::string PatternBytes(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = PatternByte(i);
  return bytes;
}

}  // namespace test_helpers
