// The settings file may have been edited by hand: whatever it holds, start-up reads one folder of one
// line. (Saving syncs to disk, far too slow to repeat millions of times; the unit tests cover it.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings_file.h"

namespace {

const std::string& AppFolder() {
  // Never destroyed, so the clean-up at exit can still name it.
  static const std::string* const folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "parkmarq-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return new std::string(pattern);
  }();
  static const bool cleanUp = [] {
    return std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(*folder, ignored);
    }) == 0;
  }();
  (void)cleanUp;
  return *folder;
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
