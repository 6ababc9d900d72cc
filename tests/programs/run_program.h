#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace programs_test {

struct ProgramRun {
  bool started = false;
  bool timedOut = false;
  int exitStatus = -1;  // -1 unless it exited normally
  std::string output;   // standard output and standard error, interleaved as written
};

// Runs program with arguments, standard input on /dev/null, and kills it once timeout has passed,
// so a hanging program fails its test instead of blocking the suite.
inline ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                             std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
  ProgramRun run;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
  posix_spawn_file_actions_adddup2(&actions, ends[1], 2);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  run.started = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  ::close(ends[1]);
  if (!run.started) {
    ::close(ends[0]);
    return run;
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  char buffer[4096];
  while (true) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd readable{ends[0], POLLIN, 0};
    const int ready = left.count() > 0 ? ::poll(&readable, 1, static_cast<int>(left.count())) : 0;
    if (ready < 0) continue;  // interrupted by a signal
    if (ready == 0) {
      run.timedOut = true;
      ::kill(child, SIGKILL);
      break;
    }
    const ssize_t count = ::read(ends[0], buffer, sizeof buffer);
    if (count <= 0) break;
    run.output.append(buffer, static_cast<std::size_t>(count));
  }
  ::close(ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!run.timedOut && WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
  return run;
}

}  // namespace programs_test
