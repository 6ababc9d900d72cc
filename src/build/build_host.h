#pragma once

#include <string>

#include "catalogue/parameter.h"

namespace build {

// One parameter field of the window: its text and whether the selected template uses it.
struct ParameterField {
  std::string text;
  bool enabled = false;
};

// What the "Create new MDL" sequence needs from the window. The window implements it; tests script it.
class BuildHost {
 public:
  virtual ~BuildHost() = default;
  [[nodiscard]] virtual int SelectedListIndex() const = 0;
  [[nodiscard]] virtual ParameterField Field(catalogue::Parameter parameter) const = 0;
  // Modal box titled "Parkmarq error", critical icon, one OK button.
  virtual void ShowValidationError(const std::string& message) = 0;
  // Modal save-file dialog; the confirmed path, or an empty string when cancelled.
  [[nodiscard]] virtual std::string SaveDialog(const std::string& title, const std::string& filter,
                                               const std::string& idir) = 0;
  virtual void SetCreateCaption(const std::string& caption) = 0;
};

}  // namespace build
