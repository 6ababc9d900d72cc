#include "build/output_name.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "build/build_fixture.h"

namespace build {
namespace {

using namespace build_test;

// A field given as nullptr is disabled; the visibility distance is never part of the name.
std::string Propose(const char* source, const char* heading, const char* stop, const char* lateral,
                    const std::string& folder = "", const NumberLocale& locale = kPoint) {
  const auto field = [](const char* text) { return ParameterField{text ? text : "9", text != nullptr}; };
  return ProposeOutputName(source, {{{field(heading), field(stop), {"500", true}, field(lateral)}}}, folder, locale);
}

TEST(ProposeOutputName, NamesTheTemplateAndTheEnabledParametersOrRefusesWhatDoesNotFit) {
  const std::pair<std::string, const char*> rows[] = {
      {Propose("dock.asm", "123.456", "20", "10"), "dock_h123.46_s20_l10.mdl"},
      {Propose("dock.asm", nullptr, nullptr, nullptr), "dock.mdl"},
      {Propose("d.asm", "0.125", nullptr, nullptr), "d_h0.12.mdl"},  // halves to even
      {Propose("d.asm", "359.995", nullptr, nullptr), "d_h360.mdl"},
      {Propose("d.asm", "12,5", nullptr, nullptr, "", kComma), "d_h12,5.mdl"},
      {Propose("d.asm", "1,500", nullptr, nullptr), "d_h1500.mdl"},
      {Propose("d.asm", nullptr, "21.5", nullptr), "d_s22.mdl"},
      {Propose("d.asm", nullptr, "2,5", nullptr, "", kComma), "d_s2.mdl"},
      {Propose("d.asm", nullptr, nullptr, "-10"), "d_l-10.mdl"},
      {Propose("d.asm", "21474836.47", "-32768.5", "32767.4"), "d_h21474836.47_s-32768_l32767.mdl"},  // still fit
      {Propose("a.asm.asm", nullptr, nullptr, nullptr), "a.mdl"},
      {Propose("DOCK.ASM", nullptr, nullptr, nullptr), "DOCK.ASM.mdl"},
      {Propose("dock.asm", nullptr, "20", nullptr, "/home/a/Models/"), "/home/a/Models/dock_s20.mdl"},
      {Propose("dock.asm", nullptr, "20", nullptr, "/m"), "/mdock_s20.mdl"},  // the folder as it is
  };
  for (const auto& [proposed, expected] : rows) EXPECT_EQ(proposed, expected);
  // Numbers that do not fit stop the build, naming the field.
  const auto failure = [](const char* heading, const char* stop, const char* lateral) -> std::string {
    try {
      return "no failure: " + Propose("d.asm", heading, stop, lateral);
    } catch (const std::overflow_error& overflow) {
      return overflow.what();
    }
  };
  const std::string name = "Could not propose the output file name: the ";
  const std::string fit = "\" does not fit the whole numbers from -32768 to 32767";
  EXPECT_EQ(failure(nullptr, "32767.5", nullptr), name + "stop distance \"32767.5" + fit);
  EXPECT_EQ(failure(nullptr, nullptr, "-32769"), name + "lateral distance \"-32769" + fit);
  EXPECT_EQ(failure("3,000,000,000", nullptr, nullptr), name + "heading \"3,000,000,000\" is too large");  // 32 bits
}

}  // namespace
}  // namespace build
