#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#ifndef _WIN32
#include <signal.h>
#endif

namespace test_helpers {

// A command line starting runner_child, built beside the tests, with arguments.
[[nodiscard]] inline std::string ChildCommand(const std::string& arguments) {
  return "\"" RUNNER_CHILD_PATH "\" " + arguments;
}

// Ends the whole test program with a message when it lives longer than limit, so a hang fails
// the test instead of blocking the suite. On POSIX its thread blocks every signal, so signals a
// test sends to itself reach the test's own thread.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit) {
#ifndef _WIN32
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);  // inherited by the thread from its very start
#endif
    thread_ = std::jthread([limit](std::stop_token stop) {
      std::mutex mutex;
      std::unique_lock lock(mutex);
      if (!std::condition_variable_any().wait_for(lock, stop, limit, [&stop] { return stop.stop_requested(); })) {
        std::fprintf(stderr, "watchdog: the test did not finish within %lld s\n",
                     static_cast<long long>(limit.count()));
        std::_Exit(124);
      }
    });
#ifndef _WIN32
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
#endif
  }

 private:
  std::jthread thread_;  // asks the thread to stop and joins it when the test ends
};

}  // namespace test_helpers
