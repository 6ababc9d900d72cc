#include "build/number_conversions.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace build {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsExponentLetter(char c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}
bool IsSign(char c) {
  return c == '+' || c == '-';
}

// A number taken apart into plain ASCII pieces, whatever notation it was written in.
struct DecimalParts {
  bool negative = false;
  std::string whole;
  std::string fraction;
  bool exponentNegative = false;
  std::string exponent;

  [[nodiscard]] bool HasDigits() const { return !whole.empty() || !fraction.empty(); }
};

// Out of range values only occur far beyond 10^300 or below 10^-300, so where the first significant
// digit sits, shifted by the exponent, tells which way the value left the range.
bool ExceedsDoubleRange(const DecimalParts& parts) {
  long long position = 0;
  const auto firstWhole = parts.whole.find_first_not_of('0');
  if (firstWhole != std::string::npos) {
    position = static_cast<long long>(parts.whole.size() - firstWhole);
  } else {
    const auto firstFraction = parts.fraction.find_first_not_of('0');
    if (firstFraction == std::string::npos) return false;
    position = -static_cast<long long>(firstFraction);
  }
  long long exponent = 0;
  for (const char c : parts.exponent) {
    exponent = exponent * 10 + (c - '0');
    if (exponent > 1'000'000'000) break;  // already far beyond any double
  }
  return position + (parts.exponentNegative ? -exponent : exponent) > 0;
}

// nullopt when the value lies beyond the double range; values too small for it become zero.
std::optional<double> ToDouble(const DecimalParts& parts) {
  std::string text = parts.whole.empty() ? "0" : parts.whole;
  if (!parts.fraction.empty()) text += "." + parts.fraction;
  if (!parts.exponent.empty()) text += (parts.exponentNegative ? "e-" : "e") + parts.exponent;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    if (ExceedsDoubleRange(parts)) return std::nullopt;
    value = 0;
  }
  return parts.negative ? -value : value;
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void RequireFinite(double x) {
  if (!std::isfinite(x)) throw std::domain_error("an infinite or undefined number cannot be written as text");
}

// Adds one unit in the last place to a string of decimal digits; true when it carried out of the front.
bool IncrementDigits(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return false;
    }
    *it = '0';
  }
  return true;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::string compact;
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') compact += c;
  }
  DecimalParts parts;
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return k < compact.size() ? compact[k] : '\0'; };
  if (IsSign(at(i))) parts.negative = compact[i++] == '-';
  while (IsDigit(at(i))) parts.whole += compact[i++];
  if (at(i) == '.') {
    ++i;
    while (IsDigit(at(i))) parts.fraction += compact[i++];
  }
  if (!parts.HasDigits()) return 0;
  if (IsExponentLetter(at(i))) {
    std::size_t k = i + 1;
    const bool exponentNegative = at(k) == '-';
    if (IsSign(at(k))) ++k;
    if (IsDigit(at(k))) {
      parts.exponentNegative = exponentNegative;
      while (IsDigit(at(k))) parts.exponent += compact[k++];
    }
  }
  const auto value = ToDouble(parts);
  if (value) return *value;
  return parts.negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
}

std::optional<double> ParseNumber(std::string_view text, const NumberLocale& locale) {
  const std::string_view s = TrimBlanks(text);
  DecimalParts parts;
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return k < s.size() ? s[k] : '\0'; };
  const auto startsWith = [&](std::size_t k, const std::string& token) {
    return !token.empty() && s.substr(k).starts_with(token);
  };
  if (IsSign(at(i))) parts.negative = s[i++] == '-';
  while (true) {
    if (IsDigit(at(i))) {
      parts.whole += s[i++];
    } else if (!parts.whole.empty() && !startsWith(i, locale.decimal) && startsWith(i, locale.group) &&
               IsDigit(at(i + locale.group.size()))) {
      i += locale.group.size();
    } else {
      break;
    }
  }
  if (startsWith(i, locale.decimal)) {
    i += locale.decimal.size();
    while (IsDigit(at(i))) parts.fraction += s[i++];
  }
  if (!parts.HasDigits()) return std::nullopt;
  if (IsExponentLetter(at(i))) {
    ++i;
    if (IsSign(at(i))) parts.exponentNegative = s[i++] == '-';
    while (IsDigit(at(i))) parts.exponent += s[i++];
    if (parts.exponent.empty()) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  return ToDouble(parts);
}

double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double below = std::floor(x);
  const double fraction = x - below;  // exact: the fraction of a double is itself a double
  if (fraction > 0.5) return below + 1;
  if (fraction < 0.5) return below;
  return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::string WholeNumberText(double wholeNumber) {
  RequireFinite(wholeNumber);
  if (wholeNumber == 0) return "0";
  char buffer[400];
  const auto result = std::to_chars(std::begin(buffer), std::end(buffer), wholeNumber, std::chars_format::fixed, 0);
  return std::string(buffer, result.ptr);
}

std::string FixedThreeText(float f, const NumberLocale& locale) {
  RequireFinite(f);
  // Every single is a dyadic fraction of at most 149 binary places, so 149 decimals write it exactly.
  constexpr int kExactDecimals = 149;
  char buffer[200];
  const auto result = std::to_chars(std::begin(buffer), std::end(buffer), std::fabs(static_cast<double>(f)),
                                    std::chars_format::fixed, kExactDecimals);
  const std::string_view exact(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const auto point = exact.find('.');
  std::string whole(exact.substr(0, point));
  std::string fraction(exact.substr(point + 1, 3));
  bool roundUp = exact[point + 4] >= '5';
  // Below 2^14 singles lie closer together than 0.001, so a single is the nearest one to at most one
  // three-decimal half: that single stands for the half (a bar distance computed as -2.4875 is
  // stored just short of it) and is written as the half would be. Above, a single is the nearest one to
  // several three-decimal values and stands for none of them more than for itself.
  constexpr float kSinglesStandForOneHalfBelow = 16384.0f;
  if (!roundUp && std::fabs(f) < kSinglesStandForOneHalfBelow) {
    const std::string half = whole + "." + fraction + "5";
    float nearest = 0;
    std::from_chars(half.data(), half.data() + half.size(), nearest);
    roundUp = nearest == std::fabs(f);
  }
  if (roundUp && IncrementDigits(fraction) && IncrementDigits(whole)) whole.insert(whole.begin(), '1');
  const bool zero = whole.find_first_not_of('0') == std::string::npos && fraction == "000";
  return (f < 0 && !zero ? "-" : "") + whole + locale.decimal + fraction;
}

std::int16_t ParseInt16(std::string_view text, const NumberLocale& locale) {
  const auto value = ParseNumber(text, locale);
  if (!value) throw NumberMismatch("\"" + std::string(text) + "\" is not a number");
  const double rounded = RoundHalfEven(*value);
  if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max()) {
    throw NumberOverflow("\"" + std::string(text) + "\" does not fit the whole numbers from -32768 to 32767");
  }
  return static_cast<std::int16_t>(rounded);
}

std::string NumberText(double x, const NumberLocale& locale) {
  RequireFinite(x);
  if (x == 0) return "0";
  constexpr int kSignificantDigits = 15;
  char buffer[40];
  const auto result = std::to_chars(std::begin(buffer), std::end(buffer), std::fabs(x), std::chars_format::scientific,
                                    kSignificantDigits - 1);
  const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const auto e = scientific.find('e');
  std::string digits(1, scientific[0]);
  digits += scientific.substr(2, e - 2);
  int exponent = 0;
  const auto exponentText = scientific.substr(e + 1);
  std::from_chars(exponentText.data() + (exponentText[0] == '+' ? 1 : 0), exponentText.data() + exponentText.size(),
                  exponent);
  digits.erase(digits.find_last_not_of('0') + 1);
  const int wholeDigits = exponent + 1;
  std::string text = x < 0 ? "-" : "";
  if (wholeDigits <= 0) {
    text += "0" + locale.decimal + std::string(static_cast<std::size_t>(-wholeDigits), '0') + digits;
  } else if (static_cast<std::size_t>(wholeDigits) >= digits.size()) {
    text += digits + std::string(static_cast<std::size_t>(wholeDigits) - digits.size(), '0');
  } else {
    const auto split = static_cast<std::size_t>(wholeDigits);
    text += digits.substr(0, split) + locale.decimal + digits.substr(split);
  }
  return text;
}

}  // namespace build
