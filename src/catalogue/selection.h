#pragma once

#include <string>

#include "catalogue/parameter.h"
#include "catalogue/template_catalogue.h"

namespace catalogue {

// What the window offers the selection logic; the window implements it, tests fake it.
class SelectionView {
 public:
  virtual ~SelectionView() = default;
  [[nodiscard]] virtual int SelectedListIndex() const = 0;
  // An empty path clears the picture; a picture that cannot be loaded shows none.
  virtual void ShowPicture(const std::string& path) = 0;
  virtual void ShowDescription(const std::string& text) = 0;
  virtual void SetLabelEnabled(Parameter parameter, bool enabled) = 0;
  virtual void SetFieldEnabled(Parameter parameter, bool enabled) = 0;
};

// Shows the selected template: picture, description, then for each parameter in order the label's
// and the field's enabled state. Field texts are never touched.
void ShowSelectedTemplate(SelectionView& view, const TemplateCatalogue& catalogue, const std::string& appFolder);

}  // namespace catalogue
