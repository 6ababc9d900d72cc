#pragma once

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>

#include "support/temp_folder.h"

namespace test_helpers {

// A command line starting runner_child, built beside the tests, with arguments.
[[nodiscard]] inline std::string ChildCommand(const std::string& arguments) {
  return "\"" RUNNER_CHILD_PATH "\" " + arguments;
}

[[nodiscard]] inline std::size_t OpenDescriptorCount() {
  const std::filesystem::directory_iterator listing("/proc/self/fd");
  return static_cast<std::size_t>(std::distance(begin(listing), end(listing))) - 1;  // the listing's own
}

// The state letters of this process's children ('Z' for one ended but not reaped), from fields 3
// and 4 of /proc/<pid>/stat; the command name before them may hold blanks and ")".
[[nodiscard]] inline std::string ChildStates() {
  std::string states;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    if (entry.path().filename().string().find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string stat = testing_support::ReadAll(entry.path() / "stat");  // "" once the process is gone
    char state = '\0';
    int parent = 0;
    if (std::sscanf(stat.c_str() + stat.rfind(')') + 1, " %c %d", &state, &parent) == 2 && parent == getpid()) {
      states += state;
    }
  }
  return states;
}

// Ends the whole test program with a message when it lives longer than limit, so a hang fails
// the test instead of blocking the suite. Its thread blocks every signal, so signals a test sends
// to itself reach the test's own thread.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit) {
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);  // inherited by the thread from its very start
    thread_ = std::jthread([limit](std::stop_token stop) {
      std::mutex mutex;
      std::unique_lock lock(mutex);
      if (!std::condition_variable_any().wait_for(lock, stop, limit, [&stop] { return stop.stop_requested(); })) {
        std::fprintf(stderr, "watchdog: the test did not finish within %lld s\n",
                     static_cast<long long>(limit.count()));
        std::_Exit(124);
      }
    });
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  }

 private:
  std::jthread thread_;  // asks the thread to stop and joins it when the test ends
};

}  // namespace test_helpers
