#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/pipe.h"

namespace platform {

// Splits a command line into the program and its arguments. Blanks (space, tab) separate
// arguments; a part in double quotes stays within one argument, blanks and all, and loses its
// quotes; quoted and unquoted parts that touch form one argument ("a b"c gives `a bc`); "" alone
// is an empty argument; a quote left open runs to the end. A double quote can never be part of an
// argument, and there are no escape characters, so "\" is an ordinary character.
[[nodiscard]] std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The path of the executable regular file that name stands for, or "" when there is none. A name
// with "/" in it is a path, relative to the current directory unless absolute; any other name is
// looked for in the folders of PATH in order (an empty entry meaning the current directory, an
// unset PATH meaning the system's default search path).
[[nodiscard]] std::string FindProgram(const std::string& name);

// Starts a child running the program that arguments[0] names (found as by FindProgram), given all
// of arguments, with standard output and standard error on output (which must not be 0, 1 or 2),
// standard input on /dev/null, the caller's environment and current directory, no other open
// descriptor, every signal at its default action and none blocked.
// Returns true once the child runs. Returns false when it could not be started (no arguments, a
// NUL byte in one, program missing, not a regular file or not executable, or the system refused),
// and then no child is left behind. Never waits for the child to end: it is reaped by a later
// ReapEndedChildren, which this function also calls first.
[[nodiscard]] bool StartChild(const std::vector<std::string>& arguments, const FileDescriptor& output);

// Reaps every child started by StartChild that has ended, so none stays a zombie, without waiting
// for one that still runs. Children that other parts of the program started are left alone.
void ReapEndedChildren();

}  // namespace platform
