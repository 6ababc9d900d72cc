#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct ProgramRun {
  int exitStatus = -1;  // -1 unless it exited normally before the time-out
  std::string output;   // standard output and standard error, interleaved as written
};

// Runs program with arguments in folder (this process's own when empty), with no standard input, and
// kills it after timeoutSeconds, so a hanging program fails its test instead of blocking the suite.
[[nodiscard]] ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                                    const std::string& folder = {}, int timeoutSeconds = 30);

}  // namespace testing_support
