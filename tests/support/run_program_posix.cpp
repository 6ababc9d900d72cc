#include <sys/wait.h>

#include <cstdio>

#include "build/replace_all.h"
#include "support/run_program.h"

namespace testing_support {

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
                      int timeoutSeconds) {
  const auto quoted = [](const std::string& text) { return "'" + build::ReplaceAll(text, "'", "'\\''") + "'"; };
  std::string command = (folder.empty() ? "" : "cd " + quoted(folder) + " && ") + "exec timeout -s KILL " +
                        std::to_string(timeoutSeconds) + " " + quoted(program);
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

}  // namespace testing_support
