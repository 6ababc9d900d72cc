#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace build {

// The user's number notation, read once from the locale by the window and handed in as a value.
// Separators are texts because some locales use multi-byte ones (a narrow no-break space).
struct NumberLocale {
  std::string decimal = ".";
  std::string group = ",";
};

// The notation that does not depend on the user: "." as decimal separator, "," as group separator.
inline const NumberLocale kInvariantLocale{};

// A text that should have been a number is not one (a type mismatch).
class NumberMismatch : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A number does not fit the whole-number type it has to be written as.
class NumberOverflow : public std::overflow_error {
 public:
  using std::overflow_error::overflow_error;
};

// The number at the start of text, "." as decimal separator whatever the locale: optional sign,
// digits, optional "." and digits, optional exponent (E or D in either case, optional sign, digits);
// blanks, tabs and line feeds before and between these are skipped; reading stops at the first other
// character. A text that does not start with a number gives 0. Never fails: a value beyond the double
// range gives an infinity of its sign, one too small for it gives zero.
[[nodiscard]] double LeadingNumber(std::string_view text);

// The whole text, apart from leading and trailing blanks, as a number in the locale's notation: an
// optional sign, digits with group separators only between two digits of the whole part, an optional
// decimal separator and digits, an optional exponent (E or D, optional sign, digits). nullopt when the
// text is anything else (a type mismatch) or lies beyond the double range; an empty text is not a number.
[[nodiscard]] std::optional<double> ParseNumber(std::string_view text, const NumberLocale& locale);

// Nearest whole number; exact halves go to the even neighbour (2.5 -> 2, -2.5 -> -2). Infinities and
// NaN come back unchanged.
[[nodiscard]] double RoundHalfEven(double x);

// Decimal digits of a whole number with "-" when negative; zero (also -0) is "0". Magnitudes of 10^15
// and more are written with all their digits, the exact value the double holds (1e20 gives
// "100000000000000000000"), never in exponent form. Throws std::domain_error for an infinity or NaN.
[[nodiscard]] std::string WholeNumberText(double wholeNumber);

// f to exactly three decimals, at least one digit before the separator, no group separators. The
// single's exact value is rounded, halves away from zero; below 16384, where a single is the nearest
// one to at most one three-decimal half, the single nearest to such a half is written as that half
// (the single nearest -0.74375 gives "-0.744", although its magnitude lies just below it). "-" only when the
// written value is not zero. Throws std::domain_error for an infinity or NaN.
[[nodiscard]] std::string FixedThreeText(float f, const NumberLocale& locale);

// ParseNumber rounded half to even into a 16-bit signed integer. Throws NumberOverflow when the
// rounded value lies outside -32768..32767 and NumberMismatch when the text is no number.
[[nodiscard]] std::int16_t ParseInt16(std::string_view text, const NumberLocale& locale);

// At most 15 significant digits, no trailing zeros, no separator for whole numbers, a digit before
// the separator, "-" when negative (never for zero). Always positional, never in exponent form.
// Throws std::domain_error for an infinity or NaN.
[[nodiscard]] std::string NumberText(double x, const NumberLocale& locale);

}  // namespace build
