#include "build/validation.h"

#include <string>

namespace build {

using catalogue::Parameter;

std::string_view ValidationMessage(Parameter parameter) {
  switch (parameter) {
    case Parameter::Heading: return "Please enter a heading between 0 and 360 degrees";
    case Parameter::StopDistance: return "Please enter a stop distance greater than 0 meters";
    case Parameter::VisibilityDistance:
      return "Please enter a valid visibility distance, either enter the desired range in meters or 0 for no "
             "limitation";
    case Parameter::LateralDistance: return "Please enter a lateral distance greater than 0 meters";
  }
  return {};
}

namespace {

bool InRange(Parameter parameter, double v) {
  switch (parameter) {
    case Parameter::Heading: return v >= 0 && v <= 360;
    case Parameter::StopDistance: return v > 0;
    case Parameter::VisibilityDistance: return v >= 0;
    case Parameter::LateralDistance: return v != 0;
  }
  return false;
}

}  // namespace

std::optional<Parameter> FirstInvalidField(const ParameterFields& fields, const NumberLocale& locale) {
  for (const auto parameter : catalogue::kParameters) {
    const auto& field = fields[parameter];
    if (!field.enabled) continue;
    // The whole text must be a number, yet the range is judged on its leading number only.
    if (!ParseNumber(field.text, locale) || !InRange(parameter, LeadingNumber(field.text))) return parameter;
  }
  return std::nullopt;
}

bool ValidateParameters(BuildHost& host, const ParameterFields& fields, const NumberLocale& locale) {
  const auto invalid = FirstInvalidField(fields, locale);
  if (!invalid) return true;
  host.ShowValidationError(std::string(ValidationMessage(*invalid)));
  return false;
}

}  // namespace build
