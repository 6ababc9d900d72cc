#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/path.h"
#include "platform/text_file.h"
#include "platform/user_data_folder.h"

namespace platform {
namespace {

[[nodiscard]] bool IsAbsolute(const char* path) {
  return path != nullptr && path[0] == kPathSeparator;
}

// An absolute XDG base directory from the environment, without trailing separators.
[[nodiscard]] std::optional<std::string> BaseDirectory(const char* variable) {
  // The base directory rules ignore a relative value, as an unset one.
  const char* value = std::getenv(variable);
  if (!IsAbsolute(value)) return std::nullopt;
  std::string folder(value);
  while (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
  return folder;
}

// XDG_DOCUMENTS_DIR as xdg-user-dirs writes it, "$HOME/Documents" or an absolute path, in double
// quotes; nullopt when the file or the line is missing or the value is neither.
[[nodiscard]] std::optional<std::string> UserDirsDocuments(const std::string& home) {
  const auto configHome = BaseDirectory("XDG_CONFIG_HOME").value_or(JoinPath(home, ".config"));
  std::string content;
  try {
    content = ReadFileBytes(JoinPath(configHome, "user-dirs.dirs"));
  } catch (const std::system_error&) {
    return std::nullopt;
  }
  constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
  for (std::string_view line : SplitLines(content)) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.starts_with(kKey)) continue;
    line.remove_prefix(kKey.size());
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') line = line.substr(1, line.size() - 2);
    if (line == "$HOME") return home;
    if (line.starts_with("$HOME/")) return home + std::string(line.substr(5));
    if (!line.empty() && line.front() == kPathSeparator) return std::string(line);
    return std::nullopt;
  }
  return std::nullopt;
}

[[nodiscard]] bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

}  // namespace

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); IsAbsolute(home)) return home;
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      IsAbsolute(found->pw_dir)) {
    return found->pw_dir;
  }
  throw std::runtime_error("cannot find the user's home folder: HOME is not set and the user has no entry");
}

std::string UserDataFolder() {
  if (auto folder = BaseDirectory("XDG_DATA_HOME")) return std::move(*folder);
  return JoinPath(JoinPath(HomeFolder(), ".local"), "share");
}

std::string DocumentsFolder() {
  const auto home = HomeFolder();
  if (const auto documents = UserDirsDocuments(home); documents && IsFolder(*documents)) return *documents;
  if (const auto documents = JoinPath(home, "Documents"); IsFolder(documents)) return documents;
  return home;
}

}  // namespace platform
