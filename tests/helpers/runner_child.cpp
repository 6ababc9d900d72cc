// A console program the process tests and the runner benchmark start; it writes with write(2) only.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

static void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written <= 0) std::_Exit(3);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "echo") {  // echo ARGS: each argument in brackets on a line of its own
    for (int i = 2; i < argc; ++i) WriteAll(STDOUT_FILENO, std::string("[") + argv[i] + "]\n");
  } else if (mode == "write" && argc == 3) {  // write N: N letters, in blocks as large as a pipe holds
    const std::string block(65536, 'x');
    for (std::size_t left = std::strtoull(argv[2], nullptr, 10); left > 0;) {
      const std::size_t size = std::min(block.size(), left);
      WriteAll(STDOUT_FILENO, std::string_view(block).substr(0, size));
      left -= size;
    }
  } else {
    return 2;
  }
  return 0;
}
