#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace bglc {

// The whole compiler run for "bglc_9.exe SOURCE OUTPUT" (arguments without the program name).
// On success writes the model file to OUTPUT, prints a summary to out and returns 0. Otherwise prints
// "FILE(LINE): error: MESSAGE" lines to err and returns 1; then OUTPUT does not exist afterwards: a
// model left from an earlier build is removed, so a failed build is never mistaken for a finished
// one. The sources themselves are never overwritten or removed, even when OUTPUT names one of them.
[[nodiscard]] int RunCompiler(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace bglc
