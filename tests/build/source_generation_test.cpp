#include "build/source_generation.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace build {
namespace {

using catalogue::Parameter;

const NumberLocale kPoint{".", ","};
const NumberLocale kComma{",", "."};

constexpr const char* kAllTokens =
    "NVLH NVL VISIBILITY_DISTANCE HEADING_VECTOR_X HEADING_VECTOR_Y STOP_DISTANCE LATERAL_DISTANCE BAR_DISTANCE1 "
    "BAR_DISTANCE2 BAR_POSITION1 BAR_POSITION2";

ParameterFields Texts(const char* heading, const char* stop, const char* visibility, const char* lateral) {
  ParameterFields fields;
  fields[Parameter::Heading] = {heading, false};
  fields[Parameter::StopDistance] = {stop, false};
  fields[Parameter::VisibilityDistance] = {visibility, false};
  fields[Parameter::LateralDistance] = {lateral, false};
  return fields;
}

std::string Rewrite(std::string_view content, const ParameterFields& fields, const NumberLocale& locale = kPoint) {
  return RewriteParameterSource(
      content, fields, ComputeBarValues(fields[Parameter::StopDistance].text, fields[Parameter::LateralDistance].text),
      locale);
}

TEST(ParameterSourceName, EveryLowerCaseAsmGetsTheSuffix) {
  EXPECT_EQ(ParameterSourceName("dock.asm"), "dock_0.asm");
  EXPECT_EQ(ParameterSourceName("a.asm.asm"), "a_0.asm_0.asm");
  EXPECT_EQ(ParameterSourceName("DOCK.ASM"), "DOCK.ASM");
  EXPECT_EQ(ParameterSourceName("dock.Asm"), "dock.Asm");
  EXPECT_EQ(ParameterSourceName("x.asmy"), "x_0.asmy");
}

TEST(ComputeBarValues, SinglePrecisionDistancesAndSideOfTheBars) {
  const struct {
    const char* stop;
    const char* lateral;
    float distance1, distance2, position1, position2;
  } rows[] = {
      {"20", "10", -0.74375f, -0.79375f, -0.236f, -0.264f},   {"20", "-10", -0.74375f, -0.79375f, 0.264f, 0.236f},
      {"0.5", "1", -0.3125f, -0.3625f, -0.236f, -0.264f},     {"0.25", "7", -0.25f, -0.3f, -0.236f, -0.264f},
      {"abc", "1", -0.1875f, -0.2375f, -0.236f, -0.264f},  // a text without a number counts as 0
      {"20", "10 m", -0.74375f, -0.79375f, -0.236f, -0.264f},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.stop) + " / " + row.lateral);
    const auto bars = ComputeBarValues(row.stop, row.lateral);
    EXPECT_EQ(bars.distance1, row.distance1);
    EXPECT_EQ(bars.distance2, row.distance2);
    EXPECT_EQ(bars.position1, row.position1);
    EXPECT_EQ(bars.position2, row.position2);
  }
  for (const char* lateral : {"0", "abc", "-0"}) {
    SCOPED_TRACE(lateral);
    EXPECT_THROW((void)ComputeBarValues("20", lateral), std::range_error);
  }
  EXPECT_THROW((void)ComputeBarValues("1e300", "1e-300"), std::range_error);  // finite double, no single
  EXPECT_THROW((void)ComputeBarValues("2e39", "1"), std::range_error);
}

TEST(RewriteParameterSource, ReplacesTheElevenTokens) {
  const struct {
    const char* name;
    ParameterFields fields;
    const NumberLocale& locale;
    const char* line;
    const char* expected;
  } rows[] = {
      {"initial texts", Texts("0", "20", "500", "10"), kPoint, kAllTokens,
       "16384 32767 500 0 -32768 20 10 -0.744 -0.794 -0.236 -0.264"},
      {"other side", Texts("0", "20", "500", "-10"), kPoint, kAllTokens,
       "16384 32767 500 0 -32768 20 -10 -0.744 -0.794 0.264 0.236"},
      {"heading 45", Texts("45", "20", "500", "10"), kPoint, "HEADING_VECTOR_X HEADING_VECTOR_Y", "-23170 -23170"},
      {"heading 123.456", Texts("123.456", "20", "500", "10"), kPoint, "HEADING_VECTOR_X HEADING_VECTOR_Y",
       "-27339 18065"},
      {"heading 90", Texts("90", "20", "500", "10"), kPoint, "HEADING_VECTOR_X HEADING_VECTOR_Y", "-32768 0"},
      {"heading 180", Texts("180", "20", "500", "10"), kPoint, "HEADING_VECTOR_X HEADING_VECTOR_Y", "0 32768"},
      {"heading 270", Texts("270", "20", "500", "10"), kPoint, "HEADING_VECTOR_X HEADING_VECTOR_Y", "32768 0"},
      {"heading 360 gives 0, not -0", Texts("360", "20", "500", "10"), kPoint, "HEADING_VECTOR_X HEADING_VECTOR_Y",
       "0 -32768"},
      {"heading with group separator", Texts("1,080", "20", "500", "10"), kPoint, "HEADING_VECTOR_Y", "-32768"},
      {"visibility 499.5", Texts("0", "20", "499.5", "10"), kPoint, "VISIBILITY_DISTANCE", "500"},
      {"visibility 500.5", Texts("0", "20", "500.5", "10"), kPoint, "VISIBILITY_DISTANCE", "500"},
      {"visibility 0.5", Texts("0", "20", "0.5", "10"), kPoint, "VISIBILITY_DISTANCE", "0"},
      {"halves to even", Texts("0", "2.5", "2.5", "2.5"), kPoint, "VISIBILITY_DISTANCE STOP_DISTANCE LATERAL_DISTANCE",
       "2 2 2"},
      {"visibility beyond 10^15", Texts("0", "20", "1e20", "10"), kPoint, "VISIBILITY_DISTANCE",
       "100000000000000000000"},
      {"stop 0.5 lateral 1", Texts("0", "0.5", "500", "1"), kPoint, "BAR_DISTANCE1 BAR_DISTANCE2", "-0.313 -0.363"},
      {"stop 0.25", Texts("0", "0.25", "500", "-3"), kPoint, "BAR_DISTANCE1 BAR_DISTANCE2", "-0.250 -0.300"},
      {"stop 45 lateral 5: the single stands for the half", Texts("0", "45", "500", "5"), kPoint, "BAR_DISTANCE1",
       "-2.488"},
      {"stop text without a number", Texts("0", "n/a", "500", "10"), kPoint, "STOP_DISTANCE BAR_DISTANCE1", "0 -0.244"},
      {"comma locale: the compiler still gets a decimal point", Texts("22,5", "20,7", "500", "10"), kComma, "STOP_DISTANCE BAR_DISTANCE1", "20 -0.744"},
      {"tokens inside words", Texts("0", "20", "500", "10"), kPoint, "NVLHX xNVLx nvl nvlh NVLNVLH",
       "16384X x32767x nvl nvlh 3276716384"},
      {"replaced text not searched again", Texts("0", "20", "500", "10"), kPoint, "NVLVISIBILITY_DISTANCE", "32767500"},
      {"line without tokens unchanged", Texts("0", "20", "500", "10"), kPoint, "  mov ax, 1 ; NV L",
       "  mov ax, 1 ; NV L"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Rewrite(row.line, row.fields, row.locale), std::string(row.expected) + "\r\n");
  }
}

TEST(RewriteParameterSource, LineEndsBecomeCrLf) {
  const auto fields = Texts("0", "20", "500", "10");
  const struct {
    const char* name;
    std::string content;
    std::string expected;
  } rows[] = {
      {"empty source", "", ""},
      {"no final line end", "a\r\nNVL", "a\r\n32767\r\n"},
      {"final line end adds no line", "a\r\n", "a\r\n"},
      {"empty lines kept", "\r\n\r\nNVL\r\n", "\r\n\r\n32767\r\n"},
      {"lone LF", "a\nb\n", "a\r\nb\r\n"},
      {"lone CR", "a\rb", "a\r\nb\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Rewrite(row.content, fields), row.expected);
  }
}

TEST(RewriteParameterSource, AnUnreadableHeadingFailsOnlyWhenThereIsALine) {
  const auto fields = Texts("abc", "20", "500", "10");
  EXPECT_EQ(Rewrite("", fields), "");
  try {
    (void)Rewrite("no tokens here", fields);
    ADD_FAILURE() << "the heading was not refused";
  } catch (const std::runtime_error& failure) {
    EXPECT_STREQ(failure.what(), "Could not write the heading \"abc\" into the parameter source: it is not a number");
  }
  EXPECT_THROW((void)Rewrite("x", Texts("0", "20", "1e400", "10")), std::range_error);
}

}  // namespace
}  // namespace build
