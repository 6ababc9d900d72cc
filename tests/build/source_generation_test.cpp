#include "build/source_generation.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

#include "build/build_fixture.h"
#include "catalogue/template_catalogue.h"

namespace build {
namespace {

using namespace build_test;
using catalogue::Parameter;

constexpr const char* kAllTokens =
    "NVLH NVL VISIBILITY_DISTANCE HEADING_VECTOR_X HEADING_VECTOR_Y STOP_DISTANCE LATERAL_DISTANCE BAR_DISTANCE1 "
    "BAR_DISTANCE2 BAR_POSITION1 BAR_POSITION2";
constexpr const char* kHeadingTokens = "HEADING_VECTOR_X HEADING_VECTOR_Y";

ParameterFields Texts(const char* heading, const char* stop, const char* visibility, const char* lateral) {
  return Fields(heading, stop, visibility, lateral, false);  // enabled or not, every field feeds the source
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
}

TEST(ComputeBarValues, SinglePrecisionDistancesAndSideOfTheBars) {
  // Bar values of whole numbers are checked through the rewritten source; texts count by their leading numbers.
  const auto bars = ComputeBarValues("abc", "1 m");
  EXPECT_EQ((std::array{bars.distance1, bars.distance2, bars.position1, bars.position2}),
            (std::array{-0.1875f, -0.2375f, -0.236f, -0.264f}));
  for (const auto& [stop, lateral] : {std::pair{"20", "-0"}, {"20", "abc"}, {"1e300", "1e-300"}, {"2e39", "1"}}) {
    EXPECT_THROW((void)ComputeBarValues(stop, lateral), std::range_error) << stop << " / " << lateral;
  }
}

TEST(RewriteParameterSource, ReplacesTheElevenTokensAndEndsEveryLineWithCrLf) {
  const auto initial = Texts("0", "20", "500", "10");
  const std::tuple<ParameterFields, std::string, const char*> rows[] = {
      {initial, kAllTokens, "16384 32767 500 0 -32768 20 10 -0.744 -0.794 -0.236 -0.264\r\n"},
      {Texts("0", "20", "500", "-10"), kAllTokens, "16384 32767 500 0 -32768 20 -10 -0.744 -0.794 0.264 0.236\r\n"},
      {Texts("45", "20", "500", "10"), kHeadingTokens, "-23170 -23170\r\n"},
      {Texts("123.456", "20", "500", "10"), kHeadingTokens, "-27339 18065\r\n"},
      {Texts("360", "20", "500", "10"), kHeadingTokens, "0 -32768\r\n"},  // 0, not -0
      {Texts("1,080", "20", "500", "10"), "HEADING_VECTOR_Y", "-32768\r\n"},
      {Texts("0", "2.5", "2.5", "2.5"), "VISIBILITY_DISTANCE STOP_DISTANCE LATERAL_DISTANCE", "2 2 2\r\n"},
      {Texts("0", "20", "1e20", "10"), "VISIBILITY_DISTANCE", "100000000000000000000\r\n"},
      {Texts("0", "0.5", "500", "1"), "BAR_DISTANCE1 BAR_DISTANCE2", "-0.313 -0.363\r\n"},
      {Texts("0", "0.25", "500", "-3"), "BAR_DISTANCE1 BAR_DISTANCE2", "-0.250 -0.300\r\n"},
      {Texts("0", "45", "500", "5"), "BAR_DISTANCE1", "-2.488\r\n"},  // the single stands for the half
      {initial, "NVLHX xNVLx nvl nvlh NVLNVLH", "16384X x32767x nvl nvlh 3276716384\r\n"},  // inside words
      {initial, "NVLVISIBILITY_DISTANCE", "32767500\r\n"},  // replaced text not searched again
      {initial, "", ""},
      {initial, "a\r\nNVL", "a\r\n32767\r\n"},
      {initial, "a\nb\rc", "a\r\nb\r\nc\r\n"},
      {initial, "\r\r\n\n\r", "\r\n\r\n\r\n\r\n"},
      {initial, "BAR_DISTANCENVLH", "-0.7446384\r\n"},  // "NVLH" first gives "BAR_DISTANCE16384"
  };
  for (const auto& [fields, source, expected] : rows) {
    EXPECT_EQ(Rewrite(source, fields), expected) << source;
    // Streamed in pieces of any size, a token or a CR LF split between two of them, the same comes out.
    const BarValues bars =
        ComputeBarValues(fields[Parameter::StopDistance].text, fields[Parameter::LateralDistance].text);
    for (std::size_t size = 1; size <= 4 && !source.empty(); ++size) {
      std::string streamed;
      TokenRewriter rewriter(ComputeTokenValues(fields, bars, kPoint),
                             [&](std::string_view bytes) { streamed += bytes; });
      for (std::size_t at = 0; at < source.size(); at += size) rewriter.Feed(std::string_view(source).substr(at, size));
      rewriter.Finish();
      EXPECT_EQ(streamed, expected) << source << " in pieces of " << size;
    }
  }
  // In a comma locale the compiler still gets a decimal point.
  EXPECT_EQ(Rewrite("STOP_DISTANCE BAR_DISTANCE1", Texts("22,5", "20,7", "500", "10"), kComma), "20 -0.744\r\n");
}

}  // namespace
}  // namespace build
