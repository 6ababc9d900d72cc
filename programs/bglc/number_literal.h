#pragma once

#include <cstdint>
#include <string_view>

namespace bglc {

// A value in the source: a whole number (integer literals, label offsets) or a real.
struct Value {
  bool isReal = false;
  std::int64_t integer = 0;
  double real = 0.0;
};

enum class LiteralStatus {
  kNotANumber,  // not written as a number at all
  kValue,
  kOutOfRange,  // written as a number, but too large even for the widest directive
};

struct Literal {
  LiteralStatus status = LiteralStatus::kNotANumber;
  Value value;
};

// Reads a whole operand as a number, "." as the decimal point in every locale:
//   integer  [+-] digits            e.g. 42, -32768
//   hex      [+-] digit hexdigits h e.g. 0FFh, 8000H (must start with a decimal digit, so it is no name)
//   real     [+-] digits [. digits] [e|E [+-] digits], or [+-] . digits ...   e.g. -0.744, 1.5e3, .5
// Integers keep their exact value up to the 64-bit range; anything larger is kOutOfRange, as is a
// real beyond the double range. No spaces inside; "inf" and "nan" are not numbers.
[[nodiscard]] Literal ReadNumberLiteral(std::string_view text);

}  // namespace bglc
