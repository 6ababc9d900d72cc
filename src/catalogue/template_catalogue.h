#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/template_entry.h"

namespace catalogue {

inline constexpr int kCatalogueCapacity = 100;
inline constexpr std::string_view kTemplateFolder = "vgds_source";
// A descriptor is a few lines; a larger file is skipped unread rather than filling the memory.
inline constexpr std::size_t kDescriptorSizeLimit = 1024 * 1024;

// The templates read at start-up, indexed from 1; entry 0 stays empty so that "no list item
// selected" (index -1) maps onto it.
class TemplateCatalogue {
 public:
  [[nodiscard]] std::int16_t Count() const { return count_; }
  [[nodiscard]] const TemplateEntry& Entry(int index) const;
  // List item k shows entry k + 1; k = -1 (or any index outside the list) gives the empty entry 0.
  [[nodiscard]] const TemplateEntry& EntryForListIndex(int listIndex) const;
  // The names for the template list, entry 1 first.
  [[nodiscard]] std::vector<std::string> ListNames() const;

  // Adds an entry after the last; false when the catalogue is full.
  bool Add(TemplateEntry entry);

 private:
  std::int16_t count_ = 0;
  std::array<TemplateEntry, kCatalogueCapacity + 1> entries_{};
};

// A file in the template folder that looked like a descriptor but was not read, and why.
struct SkippedDescriptor {
  std::string fileName;
  std::string reason;
};

struct CatalogueLoad {
  TemplateCatalogue catalogue;
  std::vector<SkippedDescriptor> skipped;
};

// Reads every descriptor in appFolder/vgds_source in the order the file system lists them (never
// sorted). A missing folder gives an empty catalogue. Descriptors that cannot be read, are larger than
// kDescriptorSizeLimit or are refused, and those beyond the hundredth, are skipped and named in the
// result; nothing is thrown for them.
[[nodiscard]] CatalogueLoad LoadTemplateCatalogue(const std::string& appFolder);

// "appFolder/vgds_source/name"
[[nodiscard]] std::string TemplateFilePath(const std::string& appFolder, std::string_view name);

}  // namespace catalogue
