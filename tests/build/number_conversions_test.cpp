#include "build/number_conversions.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "build/build_fixture.h"

namespace build {
namespace {

using namespace build_test;
const NumberLocale kNnbsp{",", "\342\200\257"};  // U+202F, three bytes, as group separator
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ParseNumber, AcceptsOnlyAWholeNumberInTheLocalesNotationWhileTheLeadingNumberReadsTheStart) {
  const std::optional<double> kNo;
  const std::tuple<const char*, std::optional<double>, double> rows[] = {
      {"  12  ", 12, 12},   {"12abc", kNo, 12},  {"", kNo, 0},     {"\t12", kNo, 12},  {"1,,500", kNo, 1},
      {",5", kNo, 0},       {"1.5,0", kNo, 1.5}, {"1 5", kNo, 15}, {"1D+2", 100, 100}, {"1e", kNo, 1},
      {"1e400", kNo, kInf}, {"1e-400", 0, 0},    {"- 5", kNo, -5}, {"--5", kNo, 0},    {"3,000,000,000", 3e9, 3},
  };
  for (const auto& [text, parsed, leading] : rows) {
    EXPECT_EQ(ParseNumber(text, kPoint), parsed) << text;
    EXPECT_EQ(LeadingNumber(text), leading) << text;
  }
  // U+202F is "\342\200\257"; a plain blank or a cut-short one is no group separator.
  const std::tuple<const NumberLocale&, const char*, std::optional<double>> localeRows[] = {
      {kComma, "1.500,25", 1500.25}, {kComma, "1.5", 15},           {kComma, "1,5.0", kNo},
      {kNnbsp, "1 500", kNo},        {kNnbsp, "1\342\200500", kNo}, {kNnbsp, "-1\342\200\257500,5", -1500.5},
  };
  for (const auto& [locale, text, expected] : localeRows) EXPECT_EQ(ParseNumber(text, locale), expected) << text;
  EXPECT_EQ(LeadingNumber(std::string("1") + std::string(400, '0') + "e-5"), kInf);  // huge mantissa stays huge
  EXPECT_TRUE(std::signbit(ParseNumber("-0", kPoint).value_or(1)));
}

TEST(ParseInt16, RoundsHalfToEvenAndRefusesWhatDoesNotFit) {
  const std::pair<double, double> halves[] = {{-2.5, -2}, {-3.5, -4}, {0.5, 0}, {-0.4, 0}};
  for (const auto& [x, expected] : halves) EXPECT_EQ(RoundHalfEven(x), expected) << x;
  // Next to a half, and a whole number without fraction bits, where adding 0.5 goes wrong.
  for (double x : {1.4999999999999998, 2.5000000000000004, 4503599627370497.0})
    EXPECT_EQ(RoundHalfEven(x), std::round(x));
  for (const char* text : {"-32768.6", "1e10"}) EXPECT_THROW((void)ParseInt16(text, kPoint), NumberOverflow) << text;
  for (const char* text : {"abc", "", "12abc", "1e400"}) EXPECT_THROW((void)ParseInt16(text, kPoint), NumberMismatch);
}

// What FixedThreeText should write for f, from its exact value (149 decimals hold any single exactly):
// halves away from zero, and below 16384 the single nearest to a three-decimal half taken as that half.
std::string ExpectedThreeDecimals(float f) {
  char buffer[200];
  const std::string exact(
      buffer, std::to_chars(buffer, buffer + sizeof buffer, std::fabs(double{f}), std::chars_format::fixed, 149).ptr);
  const std::size_t point = exact.find('.');
  if (point > 15) return (f < 0 ? "-" : "") + exact.substr(0, point) + ".000";  // singles this large are whole
  long long thousandths = std::stoll(exact.substr(0, point)) * 1000 + std::stoll(exact.substr(point + 1, 3));
  bool up = exact[point + 4] >= '5';
  int exponent = 0;
  const auto mantissa = static_cast<long long>(std::ldexp(std::frexp(std::fabs(f), &exponent), 24));
  const int power = exponent - 24;
  // Singles below 2^-12 lie too far below 0.0005 to be the nearest one to it.
  if (!up && std::fabs(f) < 16384 && power >= -36) {
    // The half h = halves / 2000 lies above the single m = mantissa * 2^power; the single is the one
    // nearest to h when h - m is less than half the spacing 2^power of the singles there. Scaled by
    // 2000 * 2^(1 - power), every term stays below 2^40.
    up = (thousandths * 2 + 1) * (1LL << (1 - power)) - 4000 * mantissa < 2000;
  }
  thousandths += up ? 1 : 0;
  const std::string decimals = std::to_string(thousandths % 1000);
  return (f < 0 && thousandths > 0 ? "-" : "") + std::to_string(thousandths / 1000) + "." +
         std::string(3 - decimals.size(), '0') + decimals;
}

TEST(NumberWriting, ThreeDecimalsOfTheSinglesExactValueInEveryBinade) {
  std::mt19937 random(20261207);
  std::vector<float> singles;
  for (int binade = -126; binade <= 127; ++binade) {
    const float low = std::ldexp(1.0f, binade);
    const float high = std::ldexp(std::nextafter(2.0f, 0.0f), binade);
    singles.insert(singles.end(), {low, high});
    std::uniform_real_distribution<float> within(low, high);
    for (int i = 0; i < 24; ++i) singles.push_back(within(random));
  }
  // Singles next to three-decimal halves, where the half and the single's own value part.
  std::uniform_int_distribution<long long> thousandths(0, 16384000);
  for (int i = 0; i < 3000; ++i) {
    const long long below = thousandths(random) >> (i % 24);  // small and large ones alike
    const auto half = static_cast<float>((static_cast<double>(below) + 0.5) / 1000);
    singles.insert(singles.end(), {half, std::nextafter(half, 0.0f), std::nextafter(half, 1e30f)});
  }
  for (const float single : singles) {
    for (const float f : {single, -single}) {
      ASSERT_EQ(FixedThreeText(f, kPoint), ExpectedThreeDecimals(f)) << std::hexfloat << f;
    }
  }
}

TEST(NumberWriting, ThreeDecimalsHalfAwayFromZeroAndFifteenDigitsNeverInExponentForm) {
  // The oracle above, pinned: -0.7437499762f stands for -0.74375; from 16384 on the single's own value
  // is rounded; an exact half goes away from zero.
  const std::pair<float, const char*> threeDecimals[] = {
      {-0.7437499762f, "-0.744"}, {9.9995f, "10.000"},
      {-0.0f, "0.000"},           {-16384.0625f, "-16384.063"},
      {-0.3125f, "-0.313"},       {3.4028235e38f, "340282346638528859811704183484516925440.000"}};
  for (const auto& [x, expected] : threeDecimals) EXPECT_EQ(FixedThreeText(x, kPoint), expected) << x;
  const std::pair<double, const char*> fifteenDigits[] = {{-0.0, "0"},
                                                          {0.1 + 0.2, "0.3"},
                                                          {-2.0 / 3, "-0.666666666666667"},
                                                          {999999999999999.9, "1000000000000000"},
                                                          {1e-7, "0.0000001"}};
  for (const auto& [x, expected] : fifteenDigits) EXPECT_EQ(NumberText(x, kPoint), expected) << x;
  EXPECT_EQ(NumberText(21474836.47, kComma), "21474836,47");
  EXPECT_THROW((void)NumberText(-kInf, kPoint), std::domain_error);
}

}  // namespace
}  // namespace build
