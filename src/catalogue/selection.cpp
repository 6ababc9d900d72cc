#include "catalogue/selection.h"

namespace catalogue {

void ShowSelectedTemplate(SelectionView& view, const TemplateCatalogue& catalogue, const std::string& appFolder) {
  const TemplateEntry& entry = catalogue.EntryForListIndex(view.SelectedListIndex());
  // Entry 0 has no picture file; an empty name clears the box instead of loading the folder.
  view.ShowPicture(entry.PictureFile.empty() ? std::string() : TemplateFilePath(appFolder, entry.PictureFile));
  view.ShowDescription(entry.Description);
  for (const Parameter parameter : kParameters) {
    view.SetLabelEnabled(parameter, entry.Uses(parameter));
    view.SetFieldEnabled(parameter, entry.Uses(parameter));
  }
}

}  // namespace catalogue
