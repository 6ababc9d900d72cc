#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bglc {

enum class Directive { kNone, kDb, kDw, kDd, kReal4, kReal8, kEqu, kInclude };

// Bytes one value of a data directive occupies; 0 for the others.
[[nodiscard]] std::size_t ItemSize(Directive directive);

// The directive as written in messages ("dw").
[[nodiscard]] std::string_view DirectiveName(Directive directive);

// One source line, taken apart but not yet evaluated.
//   name:                  label alone              (name, kNone)
//   name: dw 1, 2          label before data        (name, kDw, {"1", "2"})
//   name dw 1              the same without colon
//   name equ 5             constant                 (name, kEqu, {"5"})
//   include other.asm      (kInclude, {"other.asm"}); the name may be in double quotes
// Directive words are matched without regard to case (DW = dw); names keep their case.
struct Statement {
  std::string name;
  Directive directive = Directive::kNone;
  std::vector<std::string> operands;
};

struct ParsedLine {
  bool ok = true;
  Statement statement;
  std::string error;  // when !ok: what is wrong, for the author
};

// Reads one line: everything from ';' on is a comment; blank lines give an empty statement.
[[nodiscard]] ParsedLine ParseLine(std::string_view line);

// Letters, digits and '_', not starting with a digit.
[[nodiscard]] bool IsName(std::string_view text);

}  // namespace bglc
