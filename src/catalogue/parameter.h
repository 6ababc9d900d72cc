#pragma once

#include <array>

namespace catalogue {

// The four user parameters, numbered as the templates' flags are: 1 heading, 2 stop distance,
// 3 visibility distance, 4 lateral distance.
enum class Parameter { Heading = 1, StopDistance = 2, VisibilityDistance = 3, LateralDistance = 4 };

// The order in which selection, validation and naming walk the parameters.
inline constexpr std::array<Parameter, 4> kParameters = {Parameter::Heading, Parameter::StopDistance,
                                                         Parameter::VisibilityDistance, Parameter::LateralDistance};

}  // namespace catalogue
