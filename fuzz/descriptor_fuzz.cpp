// Descriptor files come from template packs the user downloads: any bytes must be refused or read,
// never crash, and a read entry must never name a file outside its folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "catalogue/descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  (void)catalogue::IsDescriptorName(content);
  const auto parsed = catalogue::ParseDescriptor(content);
  if (const auto* entry = std::get_if<catalogue::TemplateEntry>(&parsed)) {
    for (const auto& name : {entry->PictureFile, entry->SourceFile}) {
      if (name.find('/') != std::string::npos || name == ".." || name == ".") std::abort();
    }
  }
  return 0;
}
