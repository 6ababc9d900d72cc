#pragma once

#include <array>
#include <string_view>

namespace catalogue {

// The four user parameters, numbered as the templates' flags are: 1 heading, 2 stop distance,
// 3 visibility distance, 4 lateral distance.
enum class Parameter { Heading = 1, StopDistance = 2, VisibilityDistance = 3, LateralDistance = 4 };

// The order in which selection, validation and naming walk the parameters.
inline constexpr std::array<Parameter, 4> kParameters = {Parameter::Heading, Parameter::StopDistance,
                                                         Parameter::VisibilityDistance, Parameter::LateralDistance};

// The texts the parameter fields hold when the window opens; a build run without the window gives
// a field it leaves empty the same text.
[[nodiscard]] constexpr std::string_view InitialText(Parameter parameter) {
  switch (parameter) {
    case Parameter::Heading: return "0";
    case Parameter::StopDistance: return "20";
    case Parameter::VisibilityDistance: return "500";
    case Parameter::LateralDistance: return "10";
  }
  return {};
}

}  // namespace catalogue
