#pragma once

#include <string>

#include "platform/pipe.h"

namespace platform {

// Starts a hidden child for commandLine, with standard output and standard error on output, no
// standard input, the caller's environment and current directory, and no pipe end but output.
// The first token of the command line names the program (in double quotes when it holds blanks);
// the rest is the child's to read:
// - Windows: the line goes to CreateProcessA unchanged, which finds the program and hands the
//   whole line to the child.
// - POSIX: the line is split into arguments as SplitCommandLine does, the program is found as
//   FindProgram does, standard input is /dev/null, no other descriptor is open in the child, and
//   every signal is at its default action with none blocked (process_posix.h).
// Returns true once the child runs. Returns false when it could not be started (an empty line, a
// NUL byte in it, the program missing or not executable, or the system refused), and then no child
// is left behind. Never waits for the child to end; ended children are collected by a later
// ReapEndedChildren, which this function also calls first.
[[nodiscard]] bool StartChild(const std::string& commandLine, const PipeEnd& output);

// Collects every child started by StartChild that has ended, without waiting for one that still
// runs, so none lingers as a zombie. Children that other parts of the program started are left
// alone. Nothing to do on Windows, where the child's handles are closed once it runs.
void ReapEndedChildren();

}  // namespace platform
