// A console program the process tests, the window logic tests and the runner benchmark start; it writes
// with write() only.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

// Ends the child when nobody reads any more.
static void WriteOrExit(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto written = write(fd, bytes.data(), static_cast<unsigned>(bytes.size()));
    if (written <= 0) std::_Exit(3);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

int main(int argc, char** argv) {
#ifdef _WIN32
  // Bytes as they are, as on POSIX: no CR put before each LF.
  _setmode(STDOUT_FILENO, _O_BINARY);
  _setmode(STDERR_FILENO, _O_BINARY);
#endif
  const std::string_view mode = argc > 1 ? argv[1] : "";
  // echo ARGS: each argument in brackets on a line of its own; alternate ARGS: the same, alternately on
  // standard output and standard error; slowly ARGS: as echo, 0.4 s apart.
  if (mode == "echo" || mode == "alternate" || mode == "slowly") {
    for (int i = 2; i < argc; ++i) {
      if (mode == "slowly" && i > 2) std::this_thread::sleep_for(std::chrono::milliseconds(400));
      const bool toError = mode == "alternate" && i % 2 == 1;
      WriteOrExit(toError ? STDERR_FILENO : STDOUT_FILENO, std::string("[") + argv[i] + "]\n");
    }
  } else if (mode == "write" && argc == 3) {  // write N: N letters, in blocks as large as a pipe holds
    const std::string block(65536, 'x');
    for (std::size_t left = std::strtoull(argv[2], nullptr, 10); left > 0;) {
      const std::size_t size = std::min(block.size(), left);
      WriteOrExit(STDOUT_FILENO, std::string_view(block).substr(0, size));
      left -= size;
    }
  } else if (mode == "cat" && argc == 3) {  // cat FILE: the file's bytes
    std::FILE* file = std::fopen(argv[2], "rb");
    if (file == nullptr) return 4;
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
      WriteOrExit(STDOUT_FILENO, std::string_view(buffer, count));
    std::fclose(file);
  } else if (mode == "ticks") {  // a dot every 10 ms until nobody reads them
    for (;; std::this_thread::sleep_for(std::chrono::milliseconds(10))) WriteOrExit(STDOUT_FILENO, ".");
  } else if (mode.ends_with(".asm")) {  // SOURCE.asm MODEL: a compiler reporting on and on, and no model
    for (int line = 0; line < 120000; ++line) WriteOrExit(STDOUT_FILENO, "bglc: a note on a line of the source\n");
  } else {
    return 2;
  }
  return 0;
}
