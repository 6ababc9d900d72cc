#include "catalogue/selection.h"

#include "catalogue/descriptor.h"

namespace catalogue {

void ShowSelectedTemplate(SelectionView& view, const TemplateCatalogue& catalogue, const std::string& appFolder) {
  const TemplateEntry& entry = catalogue.EntryForListIndex(view.SelectedListIndex());
  // Entry 0 has no picture file; an empty name clears the box instead of loading the folder. A path
  // written on Windows, sub\pic.png, names the same picture on Linux.
  view.ShowPicture(entry.PictureFile.empty() ? std::string()
                                             : TemplateFilePath(appFolder, SystemPath(entry.PictureFile)));
  view.ShowDescription(entry.Description);
  for (const Parameter parameter : kParameters) {
    view.SetLabelEnabled(parameter, entry.Uses(parameter));
    view.SetFieldEnabled(parameter, entry.Uses(parameter));
  }
}

}  // namespace catalogue
