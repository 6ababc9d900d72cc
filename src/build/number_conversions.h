#pragma once

#include <cstdint>
#include <optional>
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

// The number at the start of text, "." as decimal separator whatever the locale: optional sign,
// digits, optional "." and digits, optional exponent (E or D, optional sign, digits); blanks, tabs
// and line feeds before and between these are skipped; reading stops at the first other character.
// A text that does not start with a number gives 0. Never fails.
[[nodiscard]] double LeadingNumber(std::string_view text);

// The whole text, apart from leading and trailing blanks, as a number in the locale's notation (sign,
// digits, group and decimal separators, exponent). nullopt when the text is anything else (a type
// mismatch); an empty text is not a number.
[[nodiscard]] std::optional<double> ParseNumber(std::string_view text, const NumberLocale& locale);

// Nearest whole number; exact halves go to the even neighbour (2.5 -> 2, -2.5 -> -2).
[[nodiscard]] double RoundHalfEven(double x);

// Decimal digits of a whole number with "-" when negative; zero (also -0) is "0".
[[nodiscard]] std::string WholeNumberText(double wholeNumber);

// f to exactly three decimals, halves away from zero, at least one digit before the separator.
[[nodiscard]] std::string FixedThreeText(float f, const NumberLocale& locale);

// ParseNumber rounded half to even into a 16-bit signed integer. Throws NumberOverflow when the
// rounded value lies outside -32768..32767 and NumberMismatch when the text is no number.
[[nodiscard]] std::int16_t ParseInt16(std::string_view text, const NumberLocale& locale);

// At most 15 significant digits, no trailing zeros, no separator for whole numbers, a digit before
// the separator, "-" when negative.
[[nodiscard]] std::string NumberText(double x, const NumberLocale& locale);

}  // namespace build
