#include "build/number_conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

#include "build/build_fixture.h"

namespace build {
namespace {

using build_test::kComma;
using build_test::kPoint;
const NumberLocale kNarrowSpace{",", "\342\200\257"};  // U+202F, three bytes, as group separator
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(LeadingNumber, ReadsTheNumberAtTheStartOnly) {
  const std::pair<const char*, double> rows[] = {
      {"12abc", 12}, {" 1 2 3", 123},  {"1,500", 1}, {"- 5", -5},  {"1.2.3", 1.2},  {"--5", 0},      {"abc", 0},
      {"1D2", 100},  {"2.5d-1", 0.25}, {"1e+", 1},   {"\t\n7", 7}, {"1e3.5", 1000}, {"1e400", kInf}, {"1e-400", 0},
  };
  for (const auto& [text, expected] : rows) EXPECT_EQ(LeadingNumber(text), expected) << text;
  EXPECT_TRUE(std::signbit(LeadingNumber("-0")));
  EXPECT_EQ(LeadingNumber(std::string("1") + std::string(400, '0') + "e-5"), kInf);  // huge mantissa stays huge
}

TEST(ParseNumber, AcceptsOnlyAWholeNumberInTheLocalesNotation) {
  const std::optional<double> kNo;
  const std::pair<const char*, std::optional<double>> pointRows[] = {
      {"  12  ", 12},  {"\t12", kNo}, {"12abc", kNo}, {"", kNo},
      {"1,,500", kNo}, {",5", kNo},   {"5,", kNo},    {"1.5,0", kNo},
      {"1 5", kNo},    {"1D+2", 100}, {"1e", kNo},    {"1.2.3", kNo},
      {"1e400", kNo},  {"1e-400", 0}, {"5.", 5},      {"3,000,000,000", 3e9},
  };
  for (const auto& [text, expected] : pointRows) EXPECT_EQ(ParseNumber(text, kPoint), expected) << text;
  // U+202F is "\342\200\257"; a plain blank or a cut-short one is no group separator.
  const std::tuple<const NumberLocale&, const char*, std::optional<double>> localeRows[] = {
      {kComma, "1.500,25", 1500.25},
      {kComma, "1.5", 15},
      {kComma, "1,5.0", kNo},
      {kNarrowSpace, "-1\342\200\257500,5", -1500.5},
      {kNarrowSpace, "1\342\200500", kNo},
      {kNarrowSpace, "1 500", kNo},
  };
  for (const auto& [locale, text, expected] : localeRows) EXPECT_EQ(ParseNumber(text, locale), expected) << text;
  const auto negativeZero = ParseNumber("-0", kPoint);
  ASSERT_TRUE(negativeZero.has_value());
  EXPECT_TRUE(std::signbit(*negativeZero));
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, double> rows[] = {
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {-2.6, -3}, {-0.4, 0}, {1e300, 1e300},
  };
  for (const auto& [x, expected] : rows) EXPECT_EQ(RoundHalfEven(x), expected) << x;
  // Next to a half, and a whole number without fraction bits, where adding 0.5 goes wrong.
  EXPECT_EQ(RoundHalfEven(1.4999999999999998), 1);
  EXPECT_EQ(RoundHalfEven(2.5000000000000004), 3);
  EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0);
  EXPECT_EQ(RoundHalfEven(kInf), kInf);
  EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
}

TEST(ParseInt16, RoundsHalfToEvenAndRefusesWhatDoesNotFit) {
  const std::tuple<const NumberLocale&, const char*, std::int16_t> rows[] = {
      {kPoint, "20.5", 20},    {kPoint, "21.5", 22}, {kPoint, "32767.4", 32767}, {kPoint, "-32768.5", -32768},
      {kPoint, "1,500", 1500}, {kComma, "2,5", 2},   {kPoint, " 7 ", 7},
  };
  for (const auto& [locale, text, expected] : rows) EXPECT_EQ(ParseInt16(text, locale), expected) << text;
  for (const char* text : {"32767.5", "40000", "-32769", "-32768.6", "1e10"}) {
    EXPECT_THROW((void)ParseInt16(text, kPoint), NumberOverflow) << text;
  }
  for (const char* text : {"abc", "", "12abc", "1e400"}) EXPECT_THROW((void)ParseInt16(text, kPoint), NumberMismatch);
}

TEST(NumberWriting, WholeNumbersThreeDecimalsAndFifteenDigitsNeverInExponentForm) {
  const std::pair<std::string, const char*> rows[] = {
      {WholeNumberText(-0.0), "0"},
      {WholeNumberText(-1e15), "-1000000000000000"},
      {WholeNumberText(1180591620717411303424.0), "1180591620717411303424"},  // 2^70, exactly
      {FixedThreeText(-0.7437499762f, kPoint), "-0.744"},                     // stands for -0.74375
      {FixedThreeText(-0.3125f, kPoint), "-0.313"},                           // exact half, away from zero
      {FixedThreeText(-2.4875f, kPoint), "-2.488"},  // the single lies below the half but stands for it
      {FixedThreeText(-0.25f, kPoint), "-0.250"},
      {FixedThreeText(9.9995f, kPoint), "10.000"},
      {FixedThreeText(-0.0f, kPoint), "0.000"},
      {FixedThreeText(-0.0005f, kPoint), "-0.001"},
      {FixedThreeText(1e10f, kPoint), "10000000000.000"},
      {FixedThreeText(0.264f, kComma), "0,264"},
      {FixedThreeText(-0.7437499762f, kNarrowSpace), "-0,744"},
      {NumberText(-0.0, kPoint), "0"},
      {NumberText(0.1 + 0.2, kPoint), "0.3"},
      {NumberText(-2.0 / 3, kPoint), "-0.666666666666667"},
      {NumberText(999999999999999.9, kPoint), "1000000000000000"},
      {NumberText(123456789012345678.0, kPoint), "123456789012346000"},
      {NumberText(1e-7, kPoint), "0.0000001"},
      {NumberText(-0.5, kComma), "-0,5"},
      {NumberText(21474836.47, kComma), "21474836,47"},
  };
  for (const auto& [written, expected] : rows) EXPECT_EQ(written, expected);
  EXPECT_THROW((void)WholeNumberText(std::nan("")), std::domain_error);
  EXPECT_THROW((void)FixedThreeText(std::numeric_limits<float>::infinity(), kPoint), std::domain_error);
  EXPECT_THROW((void)NumberText(-kInf, kPoint), std::domain_error);
}

}  // namespace
}  // namespace build
