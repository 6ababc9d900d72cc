#pragma once

#include <string>
#include <string_view>

namespace platform {

// "PATH.PID.N.tmp": the new file that save number N of PATH by process PID writes before it takes
// PATH's place (WriteFileAtomically).
[[nodiscard]] inline std::string SaveTemporaryName(const std::string& path, unsigned long pid, unsigned attempt) {
  return path + "." + std::to_string(pid) + "." + std::to_string(attempt) + ".tmp";
}

// The process that began the save temporary named fileName for the file named name (both without a
// folder), or 0 when fileName is no such temporary.
[[nodiscard]] inline unsigned long SaveTemporaryOwner(std::string_view fileName, std::string_view name) {
  constexpr std::string_view kSuffix = ".tmp";
  if (fileName.size() < name.size() + kSuffix.size() || !fileName.starts_with(name) || !fileName.ends_with(kSuffix)) {
    return 0;
  }
  auto middle = fileName.substr(name.size(), fileName.size() - name.size() - kSuffix.size());  // ".PID.N"
  const auto isNumber = [](std::string_view text) {
    return !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (!middle.starts_with('.')) return 0;
  middle.remove_prefix(1);
  const auto dot = middle.find('.');
  if (dot == std::string_view::npos || !isNumber(middle.substr(0, dot)) || !isNumber(middle.substr(dot + 1))) {
    return 0;
  }
  return std::stoul(std::string(middle.substr(0, dot)));
}

}  // namespace platform
