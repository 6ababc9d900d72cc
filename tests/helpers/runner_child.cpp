// A console program the process tests and the runner benchmark start; it writes with write(2) only.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "helpers/child_pattern.h"

namespace {

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written <= 0) std::_Exit(3);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "echo") {  // echo ARGS: each argument in brackets on a line of its own
    for (int i = 2; i < argc; ++i) WriteAll(STDOUT_FILENO, std::string("[") + argv[i] + "]\n");
  } else if (mode == "write" && argc == 3) {  // write N: N pattern bytes, in blocks as large as a pipe holds
    constexpr std::size_t kBlock = 65536;
    const std::string block = test_helpers::PatternBytes(kBlock + test_helpers::kPatternPeriod);
    for (std::size_t done = 0, count = std::strtoull(argv[2], nullptr, 10); done < count;) {
      const std::size_t size = std::min(kBlock, count - done);
      WriteAll(STDOUT_FILENO, std::string_view(block).substr(done % test_helpers::kPatternPeriod, size));
      done += size;
    }
  } else {
    return 2;
  }
  return 0;
}
