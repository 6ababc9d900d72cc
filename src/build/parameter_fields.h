#pragma once

#include <array>

#include "build/build_host.h"
#include "catalogue/parameter.h"

namespace build {

// The four parameter fields as the window showed them when the build began; they do not change
// while the build runs.
struct ParameterFields {
  std::array<ParameterField, catalogue::kParameters.size()> fields{};  // in kParameters order

  [[nodiscard]] const ParameterField& operator[](catalogue::Parameter parameter) const {
    return fields[static_cast<std::size_t>(parameter) - 1];
  }
  [[nodiscard]] ParameterField& operator[](catalogue::Parameter parameter) {
    return fields[static_cast<std::size_t>(parameter) - 1];
  }
};

[[nodiscard]] inline ParameterFields ReadParameterFields(const BuildHost& host) {
  ParameterFields read;
  for (const auto parameter : catalogue::kParameters) read[parameter] = host.Field(parameter);
  return read;
}

}  // namespace build
