#include "bglc/source_files.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/text_file.h"

namespace bglc {

SourceText DiskSourceFiles::Read(const std::string& path) const {
  std::error_code error;
  // A folder opens as a stream on Linux and reads as empty; say what it is instead.
  if (std::filesystem::is_directory(path, error)) return {false, {}, "it is a folder, not a file"};
  try {
    return {true, platform::ReadFileBytes(path), {}};
  } catch (const std::system_error& failure) {
    return {false, {}, failure.code().message()};
  }
}

void MemorySourceFiles::Add(const std::string& path, std::string text) {
  files_[NormalPath(path)] = std::move(text);
}

SourceText MemorySourceFiles::Read(const std::string& path) const {
  const auto found = files_.find(NormalPath(path));
  if (found == files_.end()) return {false, {}, std::make_error_code(std::errc::no_such_file_or_directory).message()};
  return {true, found->second, {}};
}

std::string NormalPath(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

}  // namespace bglc
