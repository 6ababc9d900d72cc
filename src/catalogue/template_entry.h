#pragma once

#include <string>

#include "catalogue/parameter.h"

namespace catalogue {

// One template descriptor, field for field in the order of its file.
struct TemplateEntry {
  bool UsesHeading = false;
  bool UsesStopDistance = false;
  bool UsesVisibilityDistance = false;
  bool UsesLateralDistance = false;
  std::string Name;
  std::string PictureFile;
  std::string SourceFile;
  std::string ReservedLine;
  std::string Description;

  [[nodiscard]] bool Uses(Parameter parameter) const {
    switch (parameter) {
      case Parameter::Heading: return UsesHeading;
      case Parameter::StopDistance: return UsesStopDistance;
      case Parameter::VisibilityDistance: return UsesVisibilityDistance;
      case Parameter::LateralDistance: return UsesLateralDistance;
    }
    return false;
  }

  friend bool operator==(const TemplateEntry&, const TemplateEntry&) = default;
};

}  // namespace catalogue
