#include <gtest/gtest.h>

#include <string>

#include "bglc/number_literal.h"

namespace bglc {
namespace {

struct LiteralRow {
  std::string text;
  LiteralStatus status;
  bool isReal = false;
  std::int64_t integer = 0;
  double real = 0.0;
};

TEST(BglcNumberLiteral, ReadsTheNumberFormsAndRejectsTheRest) {
  constexpr auto kNot = LiteralStatus::kNotANumber;
  constexpr auto kOk = LiteralStatus::kValue;
  constexpr auto kBig = LiteralStatus::kOutOfRange;
  const LiteralRow rows[] = {
      {"0", kOk, false, 0},
      {"+7", kOk, false, 7},
      {"-32768", kOk, false, -32768},
      {"0FFh", kOk, false, 255},
      {"-8000H", kOk, false, -32768},
      {"0ffffffffh", kOk, false, 4294967295LL},
      {"9223372036854775807", kOk, false, INT64_MAX},
      {"-9223372036854775808", kOk, false, INT64_MIN},
      {"9223372036854775808", kBig},
      {"18446744073709551616", kBig},  // wraps 64 bits if the overflow check is wrong
      {"10000000000000000h", kBig},
      {"-0.744", kOk, true, 0, -0.744},
      {"1.5e3", kOk, true, 0, 1500.0},
      {"2E-2", kOk, true, 0, 0.02},
      {".5", kOk, true, 0, 0.5},
      {"5.", kOk, true, 0, 5.0},
      {"-1e-400", kOk, true, 0, -0.0},  // too small is merely zero
      {"1e400", kBig},
      {"0.1e310", kBig},
      {std::string(400, '1') + "e-1", kBig},  // huge despite its negative exponent
      {"0." + std::string(400, '0') + "1e300", kOk, true, 0, 1e-101},
      {"", kNot},
      {"-", kNot},
      {"FFh", kNot},  // a name: hex must start with a digit
      {"0x10", kNot},
      {"12abc", kNot},
      {"1.2.3", kNot},
      {"1e", kNot},
      {"1e+", kNot},
      {".", kNot},
      {"inf", kNot},
      {"nan", kNot},
      {"1 2", kNot},
      {"-0,744", kNot},
      {"--1", kNot},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 40));
    const Literal literal = ReadNumberLiteral(row.text);
    ASSERT_EQ(literal.status, row.status);
    if (row.status != kOk) continue;
    EXPECT_EQ(literal.value.isReal, row.isReal);
    if (row.isReal) {
      EXPECT_DOUBLE_EQ(literal.value.real, row.real);
    } else {
      EXPECT_EQ(literal.value.integer, row.integer);
    }
  }
}

}  // namespace
}  // namespace bglc
