#include "bglc/number_literal.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <system_error>

namespace bglc {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<int> HexDigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

// Accumulates a magnitude; nullopt once it no longer fits 64 bits.
std::optional<std::uint64_t> Magnitude(std::string_view digits, unsigned base) {
  std::uint64_t magnitude = 0;
  for (const char c : digits) {
    const auto digit = static_cast<std::uint64_t>(*HexDigitValue(c));
    if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / base) return std::nullopt;
    magnitude = magnitude * base + digit;
  }
  return magnitude;
}

Literal SignedInteger(std::optional<std::uint64_t> magnitude, bool negative) {
  constexpr auto kMaxPositive = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (!magnitude || *magnitude > kMaxPositive + (negative ? 1 : 0)) return {LiteralStatus::kOutOfRange, {}};
  Value value;
  // Negating in unsigned arithmetic reaches INT64_MIN without overflow.
  value.integer = negative ? static_cast<std::int64_t>(0 - *magnitude) : static_cast<std::int64_t>(*magnitude);
  return {LiteralStatus::kValue, value};
}

bool IsRealText(std::string_view text) {
  std::size_t i = 0;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t exponentStart = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == exponentStart) return false;
  }
  return i == text.size();
}

// The power of ten of the leading significant digit of a real text that IsRealText accepted, saturated
// far beyond the double range; only its sign matters to tell overflow from underflow.
long DecimalOrder(std::string_view text) {
  const std::size_t exponentAt = std::min(text.find_first_of("eE"), text.size());
  const std::string_view mantissa = text.substr(0, exponentAt);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t firstSignificant = mantissa.find_first_of("123456789");
  if (firstSignificant == std::string_view::npos) return 0;
  long order = firstSignificant < point ? static_cast<long>(point - firstSignificant) - 1
                                        : -static_cast<long>(firstSignificant - point);
  long exponent = 0;
  bool negativeExponent = false;
  for (std::size_t i = exponentAt + 1; i < text.size(); ++i) {
    if (text[i] == '-') negativeExponent = true;
    if (IsDigit(text[i]) && exponent < 1'000'000) exponent = exponent * 10 + (text[i] - '0');
  }
  order += negativeExponent ? -exponent : exponent;
  return order;
}

}  // namespace

Literal ReadNumberLiteral(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return {};

  const char last = text.back();
  if (IsDigit(text.front()) && (last == 'h' || last == 'H')) {
    const std::string_view digits = text.substr(0, text.size() - 1);
    bool allHex = true;
    for (const char c : digits) allHex = allHex && HexDigitValue(c).has_value();
    if (allHex) return SignedInteger(Magnitude(digits, 16), negative);
  }
  bool allDecimal = true;
  for (const char c : text) allDecimal = allDecimal && IsDigit(c);
  if (allDecimal) return SignedInteger(Magnitude(text, 10), negative);

  if (!IsRealText(text)) return {};
  Value value;
  value.isReal = true;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value.real);
  if (error == std::errc::result_out_of_range) {
    // Underflow is harmless: the value is as close to zero as a double gets. Overflow is not.
    if (DecimalOrder(text) > 0) return {LiteralStatus::kOutOfRange, {}};
    value.real = 0.0;
  } else if (error != std::errc() || end != text.data() + text.size()) {
    return {};
  }
  if (negative) value.real = -value.real;
  return {LiteralStatus::kValue, value};
}

}  // namespace bglc
