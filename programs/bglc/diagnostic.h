#pragma once

#include <cstddef>
#include <string>

namespace bglc {

// Where a message points: a source file and a 1-based line, or line 0 for the file as a whole.
struct Location {
  std::string file;
  std::size_t line = 0;
};

struct Diagnostic {
  Location where;
  std::string message;
};

// "FILE(LINE): error: MESSAGE", or "FILE: error: MESSAGE" when the message concerns no single line.
// Editors and the compile log reader recognise this form.
[[nodiscard]] std::string FormatDiagnostic(const Diagnostic& diagnostic);

}  // namespace bglc
