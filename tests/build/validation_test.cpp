#include "build/validation.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "build/build_fixture.h"

namespace build {
namespace {

using namespace build_test;

constexpr const char* kHeading = "Please enter a heading between 0 and 360 degrees";
constexpr const char* kStop = "Please enter a stop distance greater than 0 meters";
constexpr const char* kVisibility =
    "Please enter a valid visibility distance, either enter the desired range in meters or 0 for no limitation";
constexpr const char* kLateral = "Please enter a lateral distance greater than 0 meters";

TEST(ValidateParameters, NumberTestThenRangeTestShowingOnlyTheFirstFailingFieldsMessage) {
  const std::tuple<ParameterFields, const NumberLocale&, const char*> rows[] = {
      {Fields("360", "20", "500", "10"), kPoint, ""},  // heading 360 included
      {Fields("360.5", "20", "500", "10"), kPoint, kHeading},
      {Fields("12abc", "20", "500", "10"), kPoint, kHeading},  // heading 12abc has a good leading number
      {Fields("1,500", "20", "500", "10"), kPoint, ""},        // group separator: range on the leading 1
      {Fields("0", "0", "500", "10"), kPoint, kStop},
      {Fields("0", "20", "0", "10"), kPoint, ""},  // visibility 0
      {Fields("0", "20", "-1", "10"), kPoint, kVisibility},
      {Fields("0", "20", "500", "0.0"), kPoint, kLateral},
      {Fields("0", "20", "500", "-3"), kPoint, ""},
      {Fields("abc", "0", "-1", "0"), kPoint, kHeading},        // bad heading and stop: heading first
      {Fields("0", "0", "-1", "0"), kPoint, kStop},             // bad stop and lateral: stop first
      {Fields("0", "0,5", "500", "10"), kComma, kStop},         // comma locale: 0,5 is a stop of 0 for the range
      {Fields("abc", "abc", "abc", "abc", false), kPoint, ""},  // disabled fields skipped
      // A disabled field between enabled ones is passed over, and the check goes on after it.
      {ParameterFields{{{{"0", true}, {"abc", false}, {"-1", true}, {"10", true}}}}, kPoint, kVisibility},
  };
  for (const auto& [fields, locale, message] : rows) {
    std::string texts;
    for (const auto& field : fields.fields) texts += field.text + " ";
    SCOPED_TRACE(texts);
    build_test::ScriptedHost host;
    EXPECT_EQ(ValidateParameters(host, fields, locale), *message == '\0');
    EXPECT_EQ(host.validationErrors, *message ? std::vector<std::string>{message} : std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace build
