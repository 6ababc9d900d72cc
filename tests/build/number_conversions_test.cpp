#include "build/number_conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace build {
namespace {

const NumberLocale kPoint{".", ","};
const NumberLocale kComma{",", "."};
const NumberLocale kCommaNarrowSpace{",", "\xE2\x80\xAF"};  // U+202F as group separator
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(LeadingNumber, ReadsTheNumberAtTheStartOnly) {
  const struct {
    const char* text;
    double expected;
  } rows[] = {
      {"12abc", 12},
      {" 1 2 3", 123},
      {"1,500", 1},
      {"-5", -5},
      {"- 5", -5},
      {"+3", 3},
      {".5", 0.5},
      {"1.2.3", 1.2},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {".", 0},
      {"1e3", 1000},
      {"1D2", 100},
      {"2.5d-1", 0.25},
      {"1e", 1},
      {"1e+", 1},
      {"1 e 2", 100},
      {"\t\n7", 7},
      {"7\r8", 7},
      {"499.5", 499.5},
      {"1e400", kInf},
      {"-1e400", -kInf},
      {"1e-400", 0},
      {"--5", 0},
      {"0.0001e4", 1},
      {"10x2", 10},
      {"1e3.5", 1000},
      {"0e99999999999999999999", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(LeadingNumber(row.text), row.expected);
  }
  EXPECT_TRUE(std::signbit(LeadingNumber("-0")));
  // A huge mantissa with a negative exponent is still huge.
  EXPECT_EQ(LeadingNumber(std::string("1") + std::string(400, '0') + "e-5"), kInf);
}

TEST(ParseNumber, AcceptsOnlyAWholeNumberInTheLocalesNotation) {
  const struct {
    const char* name;
    const NumberLocale& locale;
    const char* text;
    std::optional<double> expected;
  } rows[] = {
      {"plain", kPoint, "12", 12},
      {"blanks around", kPoint, "  12  ", 12},
      {"tab is no blank", kPoint, "\t12", std::nullopt},
      {"trailing letters", kPoint, "12abc", std::nullopt},
      {"empty", kPoint, "", std::nullopt},
      {"only blanks", kPoint, "   ", std::nullopt},
      {"group", kPoint, "1,500", 1500},
      {"several groups", kPoint, "3,000,000,000", 3e9},
      {"double group", kPoint, "1,,500", std::nullopt},
      {"leading group", kPoint, ",5", std::nullopt},
      {"trailing group", kPoint, "5,", std::nullopt},
      {"group in fraction", kPoint, "1.5,0", std::nullopt},
      {"blank inside", kPoint, "1 5", std::nullopt},
      {"exponent", kPoint, "1e5", 1e5},
      {"exponent D", kPoint, "1D+2", 100},
      {"negative exponent", kPoint, "1.5E-3", 1.5e-3},
      {"exponent without digits", kPoint, "1e", std::nullopt},
      {"sign only", kPoint, "-", std::nullopt},
      {"point only", kPoint, ".", std::nullopt},
      {"negative", kPoint, "-0.5", -0.5},
      {"plus", kPoint, "+7", 7},
      {"no whole digits", kPoint, ".25", 0.25},
      {"no fraction digits", kPoint, "5.", 5},
      {"two points", kPoint, "1.2.3", std::nullopt},
      {"overflow", kPoint, "1e400", std::nullopt},
      {"underflow", kPoint, "1e-400", 0},
      {"comma decimal", kComma, "1,5", 1.5},
      {"comma locale group", kComma, "1.500,25", 1500.25},
      {"comma locale point is group", kComma, "1.5", 15},
      {"comma locale point after decimal", kComma, "1,5.0", std::nullopt},
      {"narrow space group", kCommaNarrowSpace,
       "1\xE2\x80\xAF"
       "500,5",
       1500.5},
      {"narrow space cut short", kCommaNarrowSpace,
       "1\xE2\x80"
       "500",
       std::nullopt},
      {"plain space is not the narrow one", kCommaNarrowSpace, "1 500", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParseNumber(row.text, row.locale), row.expected);
  }
  const auto negativeZero = ParseNumber("-0", kPoint);
  ASSERT_TRUE(negativeZero.has_value());
  EXPECT_TRUE(std::signbit(*negativeZero));
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  const struct {
    double x;
    double expected;
  } rows[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {-3.5, -4},
      {0.5, 0},
      {1.5, 2},
      {2.4, 2},
      {2.6, 3},
      {-2.6, -3},
      {499.5, 500},
      {500.5, 500},
      {12.5, 12},
      {1.4999999999999998, 1},
      {2.5000000000000004, 3},
      {4503599627370497.0, 4503599627370497.0},
      {1e300, 1e300},
      {-0.4, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.x);
    EXPECT_EQ(RoundHalfEven(row.x), row.expected);
  }
  EXPECT_EQ(RoundHalfEven(kInf), kInf);
  EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
}

TEST(WholeNumberText, WritesAllDigitsWithoutExponent) {
  const struct {
    double x;
    const char* expected;
  } rows[] = {
      {0, "0"},
      {-0.0, "0"},
      {-32768, "-32768"},
      {16384, "16384"},
      {999999999999999, "999999999999999"},
      {1e15, "1000000000000000"},
      {-1e15, "-1000000000000000"},
      {1e20, "100000000000000000000"},
      {1180591620717411303424.0, "1180591620717411303424"},  // 2^70, exactly
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(WholeNumberText(row.x), row.expected);
  }
  EXPECT_THROW((void)WholeNumberText(kInf), std::domain_error);
  EXPECT_THROW((void)WholeNumberText(std::nan("")), std::domain_error);
}

TEST(FixedThreeText, RoundsTheSinglesDecimalHalfAwayFromZero) {
  const struct {
    float f;
    const NumberLocale& locale;
    const char* expected;
  } rows[] = {
      {0.264f, kPoint, "0.264"},
      {-0.236f, kPoint, "-0.236"},
      {-0.7437499762f, kPoint, "-0.744"},  // stands for -0.74375
      {-0.79375f, kPoint, "-0.794"},
      {-0.3125f, kPoint, "-0.313"},  // exact half
      {0.3125f, kPoint, "0.313"},
      {-2.4875f, kPoint, "-2.488"},  // single lies below the half but stands for it
      {-0.25f, kPoint, "-0.250"},
      {0.9995f, kPoint, "1.000"},
      {9.9995f, kPoint, "10.000"},
      {-99.9996f, kPoint, "-100.000"},
      {0.0f, kPoint, "0.000"},
      {-0.0f, kPoint, "0.000"},
      {-0.0004f, kPoint, "0.000"},
      {-0.0005f, kPoint, "-0.001"},
      {12.5f, kPoint, "12.500"},
      {1e10f, kPoint, "10000000000.000"},
      {0.264f, kComma, "0,264"},
      {-0.7437499762f, kCommaNarrowSpace, "-0,744"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(FixedThreeText(row.f, row.locale), row.expected);
  }
  EXPECT_THROW((void)FixedThreeText(std::numeric_limits<float>::infinity(), kPoint), std::domain_error);
}

TEST(ParseInt16, RoundsHalfToEvenAndRefusesWhatDoesNotFit) {
  const struct {
    const char* text;
    const NumberLocale& locale;
    std::int16_t expected;
  } rows[] = {
      {"20", kPoint, 20},      {"20.5", kPoint, 20},       {"21.5", kPoint, 22},       {"0.4", kPoint, 0},
      {"-10", kPoint, -10},    {"32767.4", kPoint, 32767}, {"-32768", kPoint, -32768}, {"-32768.5", kPoint, -32768},
      {"1,500", kPoint, 1500}, {"2,5", kComma, 2},         {" 7 ", kPoint, 7},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(ParseInt16(row.text, row.locale), row.expected);
  }
  for (const char* text : {"32767.5", "40000", "-32769", "-32768.6", "1e10"}) {
    SCOPED_TRACE(text);
    EXPECT_THROW((void)ParseInt16(text, kPoint), NumberOverflow);
  }
  for (const char* text : {"abc", "", "12abc", "1e400"}) {
    SCOPED_TRACE(text);
    EXPECT_THROW((void)ParseInt16(text, kPoint), NumberMismatch);
  }
}

TEST(NumberText, FifteenSignificantDigitsPositional) {
  const struct {
    double x;
    const NumberLocale& locale;
    const char* expected;
  } rows[] = {
      {123.46, kPoint, "123.46"},
      {0.12, kPoint, "0.12"},
      {360, kPoint, "360"},
      {0, kPoint, "0"},
      {-0.0, kPoint, "0"},
      {-10, kPoint, "-10"},
      {0.1 + 0.2, kPoint, "0.3"},
      {1.0 / 3, kPoint, "0.333333333333333"},
      {-2.0 / 3, kPoint, "-0.666666666666667"},
      {999999999999999.9, kPoint, "1000000000000000"},
      {123456789012345678.0, kPoint, "123456789012346000"},
      {1e20, kPoint, "100000000000000000000"},
      {1e-7, kPoint, "0.0000001"},
      {-0.5, kComma, "-0,5"},
      {21474836.47, kComma, "21474836,47"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(NumberText(row.x, row.locale), row.expected);
  }
  EXPECT_THROW((void)NumberText(-kInf, kPoint), std::domain_error);
}

}  // namespace
}  // namespace build
