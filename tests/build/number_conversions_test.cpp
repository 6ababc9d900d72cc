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

TEST(NumberWriting, ThreeDecimalsHalfAwayFromZeroAndFifteenDigitsNeverInExponentForm) {
  // -0.7437499762f stands for -0.74375.
  const std::pair<float, const char*> threeDecimals[] = {
      {-0.7437499762f, "-0.744"}, {9.9995f, "10.000"}, {-0.0f, "0.000"}, {-0.0005f, "-0.001"}};
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
