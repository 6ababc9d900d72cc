// A console program with one behaviour per mode, for the process tests and the benchmark; it
// writes with write(2) only, so nothing is buffered and stdout/stderr keep the order written.
#include <dirent.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "helpers/child_pattern.h"

namespace {

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written <= 0) std::_Exit(3);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void Out(std::string_view text) {
  WriteAll(STDOUT_FILENO, text);
}

std::size_t Number(const char* text) {
  std::size_t value = 0;
  const std::string_view view(text);
  if (std::from_chars(view.data(), view.data() + view.size(), value).ec != std::errc()) std::_Exit(2);
  return value;
}

void SleepMs(std::size_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// write N: N pattern bytes, in blocks as large as a pipe holds.
void WritePattern(std::size_t count) {
  constexpr std::size_t kBlock = 65536;
  const std::string block = test_helpers::PatternBytes(kBlock + test_helpers::kPatternPeriod);
  for (std::size_t done = 0; done < count;) {
    const std::size_t size = std::min(kBlock, count - done);
    const std::size_t offset = done % test_helpers::kPatternPeriod;  // keeps the pattern continuous
    Out(std::string_view(block).substr(offset, size));
    done += size;
  }
}

// hex HEX: the decoded bytes in one write, so a block of at most PIPE_BUF arrives whole.
void WriteHex(std::string_view hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    unsigned value = 0;
    std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    bytes += static_cast<char>(value);
  }
  Out(bytes);
}

void ListDescriptors() {
  DIR* folder = opendir("/proc/self/fd");
  if (folder == nullptr) std::_Exit(4);
  std::string listing;
  while (const dirent* entry = readdir(folder)) {
    if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == dirfd(folder)) continue;
    listing += std::string("fd ") + entry->d_name + "\n";
  }
  closedir(folder);
  Out(listing);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string_view mode = argv[1];
  if (mode == "echo") {
    for (int i = 2; i < argc; ++i) Out(std::string("[") + argv[i] + "]\n");
  } else if (mode == "write" && argc == 3) {
    WritePattern(Number(argv[2]));
  } else if (mode == "hex" && argc == 3) {
    WriteHex(argv[2]);
  } else if (mode == "both" && argc == 3) {
    for (std::size_t i = 0; i < Number(argv[2]); ++i) {
      Out("out " + std::to_string(i) + "\n");
      WriteAll(STDERR_FILENO, "err " + std::to_string(i) + "\n");
    }
  } else if (mode == "stdin") {
    char byte = 0;
    const ssize_t got = read(STDIN_FILENO, &byte, 1);
    Out(got == 0 ? "eof\n" : got < 0 ? "error\n" : "data\n");
  } else if (mode == "fds") {
    ListDescriptors();
  } else if (mode == "slow" && argc == 4) {
    for (std::size_t i = 0; i < Number(argv[2]); ++i) {
      Out("line " + std::to_string(i) + "\n");
      SleepMs(Number(argv[3]));
    }
  } else if (mode == "detach" && argc == 3) {
    // Prints its pid, closes its output and goes on running.
    Out(std::to_string(getpid()) + "\n");
    close(STDOUT_FILENO);
    close(STDERR_FILENO);
    SleepMs(Number(argv[2]));
  } else if (mode == "grandchild" && argc == 3) {
    const pid_t child = fork();
    if (child < 0) return 5;
    if (child == 0) {
      SleepMs(Number(argv[2]));
      Out("grandchild\n");
      std::_Exit(0);
    }
    Out("parent\n");
  } else if (mode == "fail") {
    WriteAll(STDERR_FILENO, "failing\n");
    return 7;
  } else if (mode != "nothing") {
    return 2;
  }
  return 0;
}
