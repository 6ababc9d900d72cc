#include "airport/stand_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace airport {

namespace {

constexpr double kFullCircle = 360;

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The length of the decimal number at the start of text (digits, at most one point, at least one
// digit), 0 when there is none.
std::size_t DecimalLength(std::string_view text) {
  std::size_t length = 0;
  bool point = false;
  bool digit = false;
  for (; length < text.size(); ++length) {
    if (IsDigit(text[length])) {
      digit = true;
    } else if (text[length] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  return digit ? length : 0;
}

// The unsigned decimal at the start of text, and text moved past it.
std::optional<double> TakeUnsigned(std::string_view& text) {
  const std::size_t length = DecimalLength(text);
  if (length == 0) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + length, value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + length) return std::nullopt;
  text.remove_prefix(length);
  return value;
}

void SkipBlanks(std::string_view& text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
}

bool Skip(std::string_view& text, std::string_view mark) {
  if (!text.starts_with(mark)) return false;
  text.remove_prefix(mark.size());
  return true;
}

// "47 25.89", "47 25' 53.40\"", "47": degrees, then optional minutes and seconds below 60.
std::optional<double> DegreesMinutesSeconds(std::string_view text) {
  const auto degrees = TakeUnsigned(text);
  if (!degrees) return std::nullopt;
  double value = *degrees;
  Skip(text, "\xC2\xB0");  // a degree sign
  double scale = 60;
  for (const std::string_view mark : {std::string_view("'"), std::string_view("\"")}) {
    SkipBlanks(text);
    if (text.empty()) break;
    const auto part = TakeUnsigned(text);
    if (!part || *part >= 60) return std::nullopt;
    value += *part / scale;
    scale *= 60;
    Skip(text, mark);
  }
  SkipBlanks(text);
  if (!text.empty()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> ParseDecimal(std::string_view text) {
  text = Trimmed(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const auto value = TakeUnsigned(text);
  if (!value || !text.empty()) return std::nullopt;
  return negative ? -*value : *value;
}

std::optional<std::string> NormalisedHeading(std::string_view text) {
  text = Trimmed(text);
  const auto value = ParseDecimal(text);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  const auto point = text.find('.');
  const int decimals = point == std::string_view::npos ? 0 : static_cast<int>(text.size() - point - 1);
  double heading = std::fmod(*value, kFullCircle) + 0.0;
  if (heading < 0) heading += kFullCircle;
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals > 300 ? 300 : decimals, heading);
  std::string written = buffer;
  if (written.find('.') != std::string::npos) {
    written.erase(written.find_last_not_of('0') + 1);
    if (written.back() == '.') written.pop_back();
  }
  // Rounding to the file's decimals may reach the full circle again.
  if (written == "360") written = "0";
  if (written == "-0") written = "0";
  return written;
}

std::optional<double> ParseAngle(std::string_view text, Axis axis) {
  text = Trimmed(text);
  const double limit = axis == Axis::Latitude ? 90 : 180;
  std::optional<double> value;
  if (!text.empty() && !IsDigit(text.front()) && text.front() != '-' && text.front() != '+' && text.front() != '.') {
    const char hemisphere = text.front();
    const std::string_view positive = axis == Axis::Latitude ? "Nn" : "Ee";
    const std::string_view negative = axis == Axis::Latitude ? "Ss" : "Ww";
    const bool north = positive.find(hemisphere) != std::string_view::npos;
    if (!north && negative.find(hemisphere) == std::string_view::npos) return std::nullopt;
    text.remove_prefix(1);
    SkipBlanks(text);
    value = DegreesMinutesSeconds(text);
    if (value && !north) value = -*value;
  } else {
    value = ParseDecimal(text);
  }
  if (!value || !std::isfinite(*value) || std::fabs(*value) > limit) return std::nullopt;
  return value;
}

std::string DegreesText(double degrees) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.8f", degrees + 0.0);
  return buffer;
}

}  // namespace airport

#include "airport/stand.h"

namespace airport {

std::string SetPlace(Stand& stand, std::string_view latitude, std::string_view longitude, std::string_view heading) {
  const auto check = [](std::string_view what, std::string_view text, bool readable) -> std::string {
    if (Trimmed(text).empty()) return "no " + std::string(what);
    if (!readable) return "unreadable " + std::string(what) + " \"" + std::string(text) + "\"";
    return {};
  };
  const auto lat = ParseAngle(latitude, Axis::Latitude);
  const auto lon = ParseAngle(longitude, Axis::Longitude);
  const auto normalised = NormalisedHeading(heading);
  for (const auto& problem : {check("latitude", latitude, lat.has_value()), check("longitude", longitude, lon.has_value()),
                              check("heading", heading, normalised.has_value())}) {
    if (!problem.empty()) return problem;
  }
  stand.latitude = *lat;
  stand.longitude = *lon;
  stand.heading = *normalised;
  return {};
}

}  // namespace airport
