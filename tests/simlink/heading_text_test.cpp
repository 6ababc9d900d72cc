#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "simlink/fs_connect.h"
#include "simlink/heading_button.h"

namespace simlink {
namespace {

TEST(HeadingText, RoundsHalfEvenToThreeDecimals) {
  struct Row {
    float heading;
    const char* text;
  };
  const std::vector<Row> rows = {
      {270.0F, " 270"},    {12.3456F, " 12.346"},  {12.0625F, " 12.062"}, {12.1875F, " 12.188"},
      {0.0F, " 0"},        {-0.0F, " 0"},          {-5.25F, "-5.25"},     {0.5F, " 0.5"},
      {-0.25F, "-0.25"},   {90.0F, " 90"},         {359.9996F, " 360"},   {-0.0004F, " 0"},
      {0.0005F, " 0.001"}, {123.456F, " 123.456"}, {-179.99F, "-179.99"}, {16777216.0F, " 16777216"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(HeadingText(row.heading), row.text);
  }
}

TEST(HeadingText, RefusesNonFiniteHeadings) {
  EXPECT_THROW(static_cast<void>(HeadingText(std::numeric_limits<float>::infinity())), std::domain_error);
  EXPECT_THROW(static_cast<void>(HeadingText(std::numeric_limits<float>::quiet_NaN())), std::domain_error);
}

TEST(ConvertVariable, IntoTheCallersType) {
  using detail::ConvertVariable;
  EXPECT_EQ(ConvertVariable<float>(VariableValue(90.0)), 90.0F);
  EXPECT_EQ(ConvertVariable<float>(VariableValue(std::int32_t{-7})), -7.0F);
  EXPECT_EQ(ConvertVariable<double>(VariableValue(std::int32_t{2147483647})), 2147483647.0);
  // Whole-number variables take the nearest value, halves to the even one.
  EXPECT_EQ(ConvertVariable<std::int16_t>(VariableValue(2.5)), 2);
  EXPECT_EQ(ConvertVariable<std::int16_t>(VariableValue(3.5)), 4);
  EXPECT_EQ(ConvertVariable<std::int16_t>(VariableValue(-2.5)), -2);
  EXPECT_EQ(ConvertVariable<std::int16_t>(VariableValue(32767.4)), 32767);
  EXPECT_EQ(ConvertVariable<std::int32_t>(VariableValue(std::int32_t{-2147483647 - 1})), -2147483647 - 1);
  EXPECT_TRUE(std::isnan(ConvertVariable<float>(VariableValue(std::nan("")))));
  EXPECT_TRUE(std::isinf(ConvertVariable<float>(VariableValue(-HUGE_VAL))));
}

TEST(ConvertVariable, OverflowThrowsInsteadOfWrapping) {
  using detail::ConvertVariable;
  EXPECT_THROW(static_cast<void>(ConvertVariable<float>(VariableValue(1e39))), std::overflow_error);
  EXPECT_THROW(static_cast<void>(ConvertVariable<float>(VariableValue(-1e300))), std::overflow_error);
  EXPECT_THROW(static_cast<void>(ConvertVariable<std::int16_t>(VariableValue(32767.5))), std::overflow_error);
  EXPECT_THROW(static_cast<void>(ConvertVariable<std::int16_t>(VariableValue(std::int32_t{-32769}))),
               std::overflow_error);
  EXPECT_THROW(static_cast<void>(ConvertVariable<std::uint8_t>(VariableValue(-1.0))), std::overflow_error);
  EXPECT_THROW(static_cast<void>(ConvertVariable<std::int32_t>(VariableValue(std::nan("")))), std::overflow_error);
}

}  // namespace
}  // namespace simlink
