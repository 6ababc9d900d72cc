#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "build/replace_all.h"

namespace programs_test {

struct ProgramRun {
  int exitStatus = -1;  // -1 unless it exited normally before the time-out
  std::string output;   // standard output and standard error, interleaved as written
};

// Runs program with arguments in folder (this process's own when empty), standard input on /dev/null,
// and kills it after 30 seconds, so a hanging program fails its test instead of blocking the suite.
inline ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& folder = {}) {
  const auto quoted = [](const std::string& text) { return "'" + build::ReplaceAll(text, "'", "'\\''") + "'"; };
  std::string command =
      (folder.empty() ? "" : "cd " + quoted(folder) + " && ") + "exec timeout -s KILL 30 " + quoted(program);
  for (const auto& argument : arguments) command += " " + quoted(argument);
  ProgramRun run;
  FILE* pipe = ::popen((command + " </dev/null 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  for (std::size_t count = 0; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    run.output.append(buffer, count);
  const int status = ::pclose(pipe);
  // timeout's own statuses: 124 and up, 137 when it killed the program
  if (WIFEXITED(status) && WEXITSTATUS(status) < 124) run.exitStatus = WEXITSTATUS(status);
  return run;
}

}  // namespace programs_test
