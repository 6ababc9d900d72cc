#pragma once

#include <signal.h>
#include <unistd.h>

namespace simlink_testing {

// Ends the whole test program with a message when a test runs longer than its limit, so a hang fails
// the test instead of blocking the run. One at a time: it uses the process's single alarm.
class Watchdog {
 public:
  explicit Watchdog(unsigned seconds) {
    struct sigaction action {};
    action.sa_handler = [](int) {
      constexpr char kMessage[] = "\nwatchdog: the test ran past its time limit\n";
      [[maybe_unused]] const auto written = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
      ::_exit(124);
    };
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    ::alarm(seconds);
  }
  ~Watchdog() { ::alarm(0); }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
};

}  // namespace simlink_testing
