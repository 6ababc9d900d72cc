#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test_helpers {

// Paths of the helper programs built beside the tests.
[[nodiscard]] std::string RunnerChildPath();
[[nodiscard]] std::string ClosedStdParentPath();

// runner_child as the first, double-quoted token of a command line, followed by arguments.
[[nodiscard]] std::string ChildCommand(const std::string& arguments);

[[nodiscard]] std::size_t OpenDescriptorCount();

// Children of this process, from /proc: those that have ended but were not reaped, and those
// that still run.
[[nodiscard]] std::size_t ZombieChildCount();
[[nodiscard]] std::size_t RunningChildCount();

// Waits until no child of this process runs any more; false when timeout passes first.
[[nodiscard]] bool WaitUntilNoChildRuns(std::chrono::milliseconds timeout);

// The /proc state letter of process pid ('Z' for a zombie), or '\0' once it is gone.
[[nodiscard]] char ProcessState(pid_t pid);

// Runs program with arguments and descriptors 0, 1 and 2 closed and returns its exit status, or
// -1 when it did not end normally within timeout (it is killed then).
[[nodiscard]] int RunWithStandardStreamsClosed(const std::string& program, const std::vector<std::string>& arguments,
                                               std::chrono::milliseconds timeout);

// Ends the whole test program with a message when it lives longer than limit, so a hang fails
// the test instead of blocking the suite. Its thread blocks every signal, so signals a test sends
// to itself reach the test's own thread.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace test_helpers
