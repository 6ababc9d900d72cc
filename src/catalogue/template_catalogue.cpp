#include "catalogue/template_catalogue.h"

#include <system_error>

#include "catalogue/descriptor.h"
#include "platform/file_system.h"
#include "platform/path.h"
#include "platform/text_file.h"

namespace catalogue {

const TemplateEntry& TemplateCatalogue::Entry(int index) const {
  return (index >= 0 && index <= count_) ? entries_[static_cast<std::size_t>(index)] : entries_[0];
}

const TemplateEntry& TemplateCatalogue::EntryForListIndex(int listIndex) const { return Entry(listIndex + 1); }

std::vector<std::string> TemplateCatalogue::ListNames() const {
  std::vector<std::string> names;
  for (int i = 1; i <= count_; ++i) names.push_back(entries_[static_cast<std::size_t>(i)].Name);
  return names;
}

bool TemplateCatalogue::Add(TemplateEntry entry) {
  if (count_ >= kCatalogueCapacity) return false;
  ++count_;
  entries_[static_cast<std::size_t>(count_)] = std::move(entry);
  return true;
}

std::string TemplateFilePath(const std::string& appFolder, std::string_view name) {
  return platform::JoinPath(platform::JoinPath(appFolder, kTemplateFolder), name);
}

CatalogueLoad LoadTemplateCatalogue(const std::string& appFolder) {
  CatalogueLoad load;
  const platform::FileSystem files;
  const auto folder = platform::JoinPath(appFolder, kTemplateFolder);
  for (const auto& name : files.ListFiles(folder)) {
    if (!IsDescriptorName(name)) continue;
    if (load.catalogue.Count() >= kCatalogueCapacity) {
      load.skipped.push_back({name, "the catalogue already holds 100 templates"});
      continue;
    }
    std::variant<TemplateEntry, DescriptorProblem> parsed;
    try {
      const auto content = platform::ReadFileBytesUpTo(platform::JoinPath(folder, name), kDescriptorSizeLimit);
      if (!content) {
        load.skipped.push_back({name, "it is larger than 1 MiB"});
        continue;
      }
      parsed = ParseDescriptor(*content);
    } catch (const std::system_error& error) {
      load.skipped.push_back({name, error.code().message()});
      continue;
    }
    if (auto* problem = std::get_if<DescriptorProblem>(&parsed)) {
      load.skipped.push_back({name, problem->reason});
    } else {
      load.catalogue.Add(std::get<TemplateEntry>(std::move(parsed)));
    }
  }
  return load;
}

}  // namespace catalogue
