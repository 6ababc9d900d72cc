#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <exception>
#include <functional>

namespace testing_support {

// Runs body in a forked child and returns the child's peak resident memory in bytes, or 0 when the
// child failed (body threw, or the child ended abnormally). The child is ended by an alarm after 60
// seconds, so a hang fails.
inline std::size_t PeakMemoryInChild(const std::function<void()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(60);
    try {
      body();
    } catch (const std::exception&) {
      ::_exit(1);
    }
    ::_exit(0);
  }
  int status = 0;
  rusage usage{};
  const bool ended = child > 0 && ::wait4(child, &status, 0, &usage) == child;
  EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child process failed";
  if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return 0;
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;  // kilobytes on Linux
}

}  // namespace testing_support
