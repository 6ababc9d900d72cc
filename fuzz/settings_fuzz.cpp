// The settings file may have been edited by hand: whatever it holds, start-up reads one folder of one
// line. (Saving syncs to disk, far too slow to repeat millions of times; the unit tests cover it.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/settings_file.h"
#include "support/temp_folder.h"

namespace {

// Removed with everything in it when the program exits.
const std::string& AppFolder() {
  static const testing_support::TempFolder folder;
  static const std::string path = folder.Str();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(app::SettingsFilePath(AppFolder()), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const auto folder = app::LoadDefaultOutputFolder(AppFolder());
  if (!folder) std::abort();  // the file exists, so a folder (maybe empty) must come back
  if (folder->find_first_of("\r\n") != std::string::npos) std::abort();
  return 0;
}
