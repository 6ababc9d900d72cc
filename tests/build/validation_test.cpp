#include "build/validation.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace build {
namespace {

using catalogue::Parameter;

const NumberLocale kPoint{".", ","};
const NumberLocale kComma{",", "."};

ParameterFields AllEnabled(const char* heading, const char* stop, const char* visibility, const char* lateral) {
  ParameterFields fields;
  fields[Parameter::Heading] = {heading, true};
  fields[Parameter::StopDistance] = {stop, true};
  fields[Parameter::VisibilityDistance] = {visibility, true};
  fields[Parameter::LateralDistance] = {lateral, true};
  return fields;
}

TEST(FirstInvalidField, NumberTestThenRangeTestInFieldOrder) {
  const struct {
    const char* name;
    ParameterFields fields;
    std::optional<Parameter> expected;
  } rows[] = {
      {"initial texts", AllEnabled("0", "20", "500", "10"), std::nullopt},
      {"heading 360 included", AllEnabled("360", "20", "500", "10"), std::nullopt},
      {"heading 360.5", AllEnabled("360.5", "20", "500", "10"), Parameter::Heading},
      {"heading -1", AllEnabled("-1", "20", "500", "10"), Parameter::Heading},
      {"heading empty", AllEnabled("", "20", "500", "10"), Parameter::Heading},
      {"heading abc", AllEnabled("abc", "20", "500", "10"), Parameter::Heading},
      {"heading 12abc has a good leading number", AllEnabled("12abc", "20", "500", "10"), Parameter::Heading},
      {"heading with blanks around", AllEnabled(" 90 ", "20", "500", "10"), std::nullopt},
      {"group separator read as a whole number, range on its leading 1", AllEnabled("1,500", "20", "500", "10"),
       std::nullopt},
      {"3,000,000,000 passes as 3", AllEnabled("3,000,000,000", "20", "500", "10"), std::nullopt},
      {"stop 0", AllEnabled("0", "0", "500", "10"), Parameter::StopDistance},
      {"stop -5", AllEnabled("0", "-5", "500", "10"), Parameter::StopDistance},
      {"stop 0.001", AllEnabled("0", "0.001", "500", "10"), std::nullopt},
      {"visibility 0", AllEnabled("0", "20", "0", "10"), std::nullopt},
      {"visibility -1", AllEnabled("0", "20", "-1", "10"), Parameter::VisibilityDistance},
      {"visibility beyond the double range", AllEnabled("0", "20", "1e400", "10"), Parameter::VisibilityDistance},
      {"lateral 0", AllEnabled("0", "20", "500", "0"), Parameter::LateralDistance},
      {"lateral 0.0", AllEnabled("0", "20", "500", "0.0"), Parameter::LateralDistance},
      {"lateral -3", AllEnabled("0", "20", "500", "-3"), std::nullopt},
      {"bad heading and bad stop: heading first", AllEnabled("abc", "0", "500", "10"), Parameter::Heading},
      {"bad stop and bad lateral: stop first", AllEnabled("0", "0", "500", "0"), Parameter::StopDistance},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FirstInvalidField(row.fields, kPoint), row.expected);
  }
}

TEST(FirstInvalidField, CommaLocaleAndDisabledFields) {
  // "1,5" is one and a half in a comma locale, but the range test reads "." only: leading number 1.
  EXPECT_EQ(FirstInvalidField(AllEnabled("1,5", "20,5", "500", "10"), kComma), std::nullopt);
  // "0,5" reads as leading number 0: a stop distance of 0 as far as the range goes.
  EXPECT_EQ(FirstInvalidField(AllEnabled("0", "0,5", "500", "10"), kComma), Parameter::StopDistance);
  EXPECT_EQ(FirstInvalidField(AllEnabled("1.5", "20", "500", "10"), kComma), std::nullopt);  // 15 as a number

  auto fields = AllEnabled("abc", "abc", "abc", "abc");
  for (const auto parameter : catalogue::kParameters) fields[parameter].enabled = false;
  EXPECT_EQ(FirstInvalidField(fields, kPoint), std::nullopt);
  fields[Parameter::LateralDistance].enabled = true;
  EXPECT_EQ(FirstInvalidField(fields, kPoint), Parameter::LateralDistance);
}

class RecordingHost : public BuildHost {
 public:
  [[nodiscard]] int SelectedListIndex() const override { return 0; }
  [[nodiscard]] ParameterField Field(Parameter) const override { return {}; }
  void ShowValidationError(const std::string& message) override { errors.push_back(message); }
  [[nodiscard]] std::string SaveDialog(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  void SetCreateCaption(const std::string&) override {}
  std::vector<std::string> errors;
};

TEST(ValidateParameters, ShowsExactlyTheFirstFailingFieldsMessage) {
  const struct {
    ParameterFields fields;
    const char* message;
  } rows[] = {
      {AllEnabled("abc", "0", "-1", "0"), "Please enter a heading between 0 and 360 degrees"},
      {AllEnabled("0", "0", "-1", "0"), "Please enter a stop distance greater than 0 meters"},
      {AllEnabled("0", "20", "-1", "0"),
       "Please enter a valid visibility distance, either enter the desired range in meters or 0 for no limitation"},
      {AllEnabled("0", "20", "500", "0"), "Please enter a lateral distance greater than 0 meters"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.message);
    RecordingHost host;
    EXPECT_FALSE(ValidateParameters(host, row.fields, kPoint));
    EXPECT_EQ(host.errors, std::vector<std::string>{row.message});
  }
  RecordingHost host;
  EXPECT_TRUE(ValidateParameters(host, AllEnabled("0", "20", "500", "10"), kPoint));
  EXPECT_TRUE(host.errors.empty());
}

}  // namespace
}  // namespace build
