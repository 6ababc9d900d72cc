#include "build/output_name.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "build/build_fixture.h"

namespace build {
namespace {

using build_test::kComma;
using build_test::kPoint;
using catalogue::Parameter;

// A field given as nullptr is disabled; the visibility distance is never part of the name.
std::string Propose(const char* source, const char* heading, const char* stop, const char* lateral,
                    const std::string& folder = "", const NumberLocale& locale = kPoint) {
  ParameterFields fields =
      build_test::Fields(heading ? heading : "1", stop ? stop : "2", "500", lateral ? lateral : "3");
  fields[Parameter::Heading].enabled = heading != nullptr;
  fields[Parameter::StopDistance].enabled = stop != nullptr;
  fields[Parameter::LateralDistance].enabled = lateral != nullptr;
  return ProposeOutputName(source, fields, folder, locale);
}

TEST(ProposeOutputName, NamesTheTemplateAndTheEnabledParameters) {
  const std::pair<std::string, const char*> rows[] = {
      {Propose("dock.asm", "123.456", "20", "10"), "dock_h123.46_s20_l10.mdl"},
      {Propose("dock.asm", nullptr, nullptr, nullptr), "dock.mdl"},
      {Propose("d.asm", "0.125", nullptr, nullptr), "d_h0.12.mdl"},  // halves to even
      {Propose("d.asm", "0.135", nullptr, nullptr), "d_h0.14.mdl"},
      {Propose("d.asm", "359.995", nullptr, nullptr), "d_h360.mdl"},
      {Propose("d.asm", "12,5", nullptr, nullptr, "", kComma), "d_h12,5.mdl"},
      {Propose("d.asm", "1,500", nullptr, nullptr), "d_h1500.mdl"},
      {Propose("d.asm", nullptr, "20.5", nullptr), "d_s20.mdl"},
      {Propose("d.asm", nullptr, "21.5", nullptr), "d_s22.mdl"},
      {Propose("d.asm", nullptr, "0.4", nullptr), "d_s0.mdl"},
      {Propose("d.asm", nullptr, nullptr, "-10"), "d_l-10.mdl"},
      {Propose("d.asm", nullptr, nullptr, "-0.4"), "d_l0.mdl"},
      {Propose("d.asm", "21474836.47", "-32768.5", "32767.4"), "d_h21474836.47_s-32768_l32767.mdl"},  // still fit
      {Propose("a.asm.asm", nullptr, nullptr, nullptr), "a.mdl"},
      {Propose("my.asmdock.asm", nullptr, nullptr, nullptr), "mydock.mdl"},
      {Propose("DOCK.ASM", nullptr, nullptr, nullptr), "DOCK.ASM.mdl"},
      {Propose("dock.asm", nullptr, "20", nullptr, "/home/a/Models/"), "/home/a/Models/dock_s20.mdl"},
      {Propose("dock.asm", nullptr, "20", nullptr, "/m"), "/mdock_s20.mdl"},  // the folder as it is
  };
  for (const auto& [proposed, expected] : rows) EXPECT_EQ(proposed, expected);
}

TEST(ProposeOutputName, NumbersThatDoNotFitStopTheBuild) {
  const auto failure = [](const char* heading, const char* stop, const char* lateral) -> std::string {
    try {
      return "no failure: " + Propose("d.asm", heading, stop, lateral);
    } catch (const std::overflow_error& overflow) {
      return overflow.what();
    }
  };
  const std::pair<std::string, const char*> rows[] = {
      {failure(nullptr, "40000", nullptr), "the stop distance"},
      {failure(nullptr, "32767.5", nullptr), "the stop distance"},  // rounds to 32768
      {failure(nullptr, nullptr, "-32769"), "the lateral distance"},
      {failure("3,000,000,000", nullptr, nullptr), "the heading"},  // beyond 32 bits in hundredths
  };
  for (const auto& [message, names] : rows) EXPECT_NE(message.find(names), std::string::npos) << message;
}

}  // namespace
}  // namespace build
