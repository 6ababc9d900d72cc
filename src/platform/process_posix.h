#pragma once

#include <string>
#include <string_view>
#include <vector>

// How StartChild turns a command line into a program and its arguments on POSIX, where a process
// is started with a list of arguments rather than one line.
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

}  // namespace platform
