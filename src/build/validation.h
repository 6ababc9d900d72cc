#pragma once

#include <optional>
#include <string_view>

#include "build/build_host.h"
#include "build/number_conversions.h"
#include "build/parameter_fields.h"

namespace build {

// The message that refuses a bad value of parameter.
[[nodiscard]] std::string_view ValidationMessage(catalogue::Parameter parameter);

// The first enabled field, in the order heading, stop, visibility, lateral, whose whole text is not a
// number in the locale's notation or whose leading number fails the field's range (heading 0..360,
// stop > 0, visibility >= 0, lateral != 0). Disabled fields are not looked at.
[[nodiscard]] std::optional<catalogue::Parameter> FirstInvalidField(const ParameterFields& fields,
                                                                    const NumberLocale& locale);

// Step 1 of the build: true when every enabled field passes; otherwise the host has shown the first
// bad field's message in its validation error box and nothing else happened.
[[nodiscard]] bool ValidateParameters(BuildHost& host, const ParameterFields& fields, const NumberLocale& locale);

}  // namespace build
