#include "bglc/diagnostic.h"

namespace bglc {

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
  std::string text = diagnostic.where.file;
  if (diagnostic.where.line != 0) text += "(" + std::to_string(diagnostic.where.line) + ")";
  text += ": error: ";
  text += diagnostic.message;
  return text;
}

}  // namespace bglc
