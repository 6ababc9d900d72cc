#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <system_error>

namespace testing_support {

// Runs body in a forked child whose files may grow to at most limit bytes, as on a disk that fills up,
// and returns the text body returned. The child is ended by an alarm after 30 seconds, so a hang fails.
inline std::string InChildWithFileSizeLimit(rlim_t limit, const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(30);
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit fileSize{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &fileSize);
    const std::string report = body();  // small enough for one write to a pipe
    ::_exit(::write(fds[1], report.data(), report.size()) == static_cast<ssize_t>(report.size()) ? 0 : 1);
  }
  ::close(fds[1]);  // so that the read ends when the child does, or at once when the fork failed
  std::string report;
  char buffer[512];
  for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, std::size_t(got));
  ::close(fds[0]);
  int status = 0;
  EXPECT_TRUE(child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the child process failed or ended abnormally";
  return report;
}

}  // namespace testing_support
