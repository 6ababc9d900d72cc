#pragma once

#include <string>
#include <vector>

namespace platform {

// How a program is started on this system. On Linux a Windows program, a file that starts with the
// bytes "MZ", runs through Wine; everything else starts directly.
struct ProgramLaunch {
  std::vector<std::string> arguments;    // the program to start first
  std::vector<std::string> environment;  // NAME=value entries to add to the caller's environment
};

// For a Windows program: "wine" with the program and its arguments (through /bin/sh, which first
// starts Wine's session apart from the output), each argument that is an absolute path given as the
// Windows path that Wine maps it to (what winepath -w prints, from the drives of
// $WINEPREFIX, else ~/.wine, or Z: for the whole file system when that prefix has none yet), and
// WINEDEBUG=-all unless it is set, so Wine's own diagnostics stay out of the program's output.
// Otherwise the arguments unchanged.
[[nodiscard]] ProgramLaunch LaunchFor(const std::vector<std::string>& arguments);

// Empty when program can be started here as far as one can tell beforehand; else why not, naming
// what to install. A program that does not exist is left to the start to report.
[[nodiscard]] std::string LaunchProblem(const std::string& program);

// The Windows path that Wine gives the absolute path path, as LaunchFor converts it.
[[nodiscard]] std::string WinePath(const std::string& path);

}  // namespace platform
