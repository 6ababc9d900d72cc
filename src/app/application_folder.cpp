#include "app/application_folder.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "build/tools_folder.h"
#include "catalogue/template_catalogue.h"
#include "platform/app_folder.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "platform/path.h"
#include "platform/text_file.h"
#include "platform/user_data_folder.h"

namespace app {
namespace {

using Hashes = std::map<std::string, std::string>;  // path below the application folder -> content hash

// FNV-1a: stable across runs and builds, which std::hash does not promise.
std::string ContentHash(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 1099511628211ULL;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

Hashes ReadInstalledCopies(const std::string& path) {
  Hashes copies;
  if (!platform::FileSystem().FileExists(path)) return copies;
  for (const auto& line : platform::SplitLines(platform::ReadFileBytes(path))) {
    const auto blank = line.find(' ');
    if (blank != std::string::npos) copies[line.substr(blank + 1)] = line.substr(0, blank);
  }
  return copies;
}

void WriteInstalledCopies(const std::string& path, const Hashes& copies) {
  std::string content;
  for (const auto& [name, hash] : copies) content += hash + " " + name + std::string(platform::kLineEnd);
  platform::WriteFileAtomically(path, content);
}

// The files an installed folder hands on, as paths below it: the templates and the compiler, never
// the working files of a build that ran there.
std::vector<std::string> InstalledFiles(const std::string& installedFolder) {
  std::vector<std::string> files;
  const auto templates = catalogue::TemplateFilePath(installedFolder, "");
  for (const auto& name : platform::FileSystem().ListFiles(templates)) {
    // A name that cannot stand on a line of the list is not handed on.
    if (name.find_first_of("\r\n") == std::string::npos) {
      files.push_back(platform::JoinPath(catalogue::kTemplateFolder, name));
    }
  }
  if (platform::FileSystem().FileExists(build::ToolsFilePath(installedFolder, build::kCompilerName))) {
    files.push_back(platform::JoinPath(build::kToolsFolder, build::kCompilerName));
  }
  return files;
}

}  // namespace

ApplicationFolderChoice ChooseApplicationFolder(const std::string& programFolder, bool programFolderWritable,
                                                const std::function<std::string()>& userDataFolder) {
  const bool installed = platform::FileSystem().FileExists(platform::JoinPath(programFolder, kInstalledMarkerName));
  if (programFolderWritable && !installed) return {programFolder, {}};
  return {platform::JoinPath(userDataFolder(), kUserFolderName), programFolder};
}

bool IsInstalledCopy(const std::string& appFolder) {
  const platform::FileSystem files;
  return files.FileExists(platform::JoinPath(appFolder, kInstalledCopiesName)) ||
         files.FileExists(platform::JoinPath(appFolder, kUninstallerName));
}

ApplicationFolderChoice LocateApplicationFolder() {
  const auto programFolder = platform::ApplicationFolder();
  return ChooseApplicationFolder(programFolder, platform::FileSystem().CanWriteFolder(programFolder),
                                 platform::UserDataFolder);
}

void CopyInstalledFiles(const std::string& installedFolder, const std::string& userFolder) {
  for (const auto folder : {catalogue::kTemplateFolder, build::kToolsFolder}) {
    std::error_code error;
    const auto path = platform::JoinPath(userFolder, folder);
    std::filesystem::create_directories(path, error);
    if (error) throw std::system_error(error, "cannot create the folder \"" + path + "\"");
  }
  const platform::FileSystem files;
  const auto listPath = platform::JoinPath(userFolder, kInstalledCopiesName);
  auto copies = ReadInstalledCopies(listPath);
  const auto before = copies;
  for (const auto& name : InstalledFiles(installedFolder)) {
    const auto installed = platform::ReadFileBytes(platform::JoinPath(installedFolder, name));
    const auto installedHash = ContentHash(installed);
    const auto target = platform::JoinPath(userFolder, name);
    const bool present = files.FileExists(target);
    const auto received = copies.find(name);
    bool copy = false;
    if (received == copies.end()) {
      copy = !present;
    } else if (received->second != installedHash && present) {
      // Replaced only while it is still what the user received: an edit, or a file made read-only, is the
      // user's.
      copy = !platform::IsReadOnlyFile(target) && ContentHash(platform::ReadFileBytes(target)) == received->second;
    }
    if (copy) {
      const auto kind = name.starts_with(build::kToolsFolder) ? platform::FileKind::Program : platform::FileKind::Data;
      platform::WriteFileAtomically(target, installed, kind);
    }
    // Remembered also when the user's own file of that name stays: it is theirs from now on, unless it
    // equals ours.
    copies[name] = copy || received == copies.end() ? installedHash : received->second;
  }
  if (copies != before) WriteInstalledCopies(listPath, copies);
}

std::string PrepareApplicationFolder() {
  const auto choice = LocateApplicationFolder();
  if (!choice.installedFolder.empty()) CopyInstalledFiles(choice.installedFolder, choice.folder);
  return choice.folder;
}

}  // namespace app
