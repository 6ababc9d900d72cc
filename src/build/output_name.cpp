#include "build/output_name.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "build/build_failure.h"
#include "build/replace_all.h"
#include "build/source_generation.h"

namespace build {
namespace {

using catalogue::Parameter;

constexpr std::string_view kNameFailure = "Could not propose the output file name: the ";

std::string HeadingPart(const std::string& text, const NumberLocale& locale) {
  const auto degrees = ParseNumber(text, locale);
  if (!degrees) throw NumberMismatch(std::string(kNameFailure) + "heading " + Quoted(text) + " is not a number");
  const double hundredths = RoundHalfEven(*degrees * 100);
  if (!(hundredths >= std::numeric_limits<std::int32_t>::min() &&
        hundredths <= std::numeric_limits<std::int32_t>::max())) {
    throw NumberOverflow(std::string(kNameFailure) + "heading " + Quoted(text) + " is too large");
  }
  return NumberText(hundredths / 100, locale);
}

std::string WholePart(const std::string& text, std::string_view fieldName, const NumberLocale& locale) {
  try {
    return std::to_string(ParseInt16(text, locale));
  } catch (const NumberOverflow& failure) {
    throw NumberOverflow(std::string(kNameFailure) + std::string(fieldName) + " " + failure.what());
  } catch (const NumberMismatch& failure) {
    throw NumberMismatch(std::string(kNameFailure) + std::string(fieldName) + " " + failure.what());
  }
}

}  // namespace

std::string ProposeOutputName(std::string_view sourceFile, const ParameterFields& fields,
                              std::string_view defaultOutputFolder, const NumberLocale& locale) {
  std::string name = ReplaceAll(std::string(sourceFile), kSourceExtension, "");
  if (const auto& heading = fields[Parameter::Heading]; heading.enabled)
    name += "_h" + HeadingPart(heading.text, locale);
  if (const auto& stop = fields[Parameter::StopDistance]; stop.enabled) {
    name += "_s" + WholePart(stop.text, "stop distance", locale);
  }
  if (const auto& lateral = fields[Parameter::LateralDistance]; lateral.enabled) {
    name += "_l" + WholePart(lateral.text, "lateral distance", locale);
  }
  name += ".mdl";
  return std::string(defaultOutputFolder) + name;
}

}  // namespace build
