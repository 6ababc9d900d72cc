#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/process_posix.h"
#include "platform/program_launch.h"
#include "platform/user_data_folder.h"

namespace platform {
namespace {

constexpr char kWine[] = "wine";
constexpr char kShell[] = "/bin/sh";
// Wine's server and services outlive the program, and the first program of a session hands them its
// standard output: they would hold the output pipe open, and the output would not end, until the
// server quits. So the session is started first with nothing to inherit, and the server kept for 30 s
// after its last program, which spares a batch of compiles a start each.
constexpr char kWineScript[] =
    "wineserver -p30 </dev/null >/dev/null 2>&1; "
    "wine cmd /c exit </dev/null >/dev/null 2>&1; "
    "exec wine \"$@\"";
constexpr char kWindowsSeparator = '\\';
constexpr char kWineDebug[] = "WINEDEBUG";

[[nodiscard]] bool IsWindowsProgram(const std::string& program) {
  std::ifstream file(program, std::ios::binary);
  char magic[2] = {};
  return file.read(magic, sizeof magic) && magic[0] == 'M' && magic[1] == 'Z';
}

// The prefix whose drives Wine uses; none when the user has no home.
[[nodiscard]] std::optional<std::string> WinePrefix() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && prefix[0] == kPathSeparator) return prefix;
  try {
    return JoinPath(HomeFolder(), ".wine");
  } catch (const std::runtime_error&) {
    return std::nullopt;
  }
}

struct Drive {
  char letter;
  dev_t device;
  ino_t inode;
};

// The prefix's drives, a to z: the folders its dosdevices links lead to. A fresh prefix gets Z: for
// the root of the file system, so that is the answer while there is none.
[[nodiscard]] std::vector<Drive> WineDrives() {
  std::vector<Drive> drives;
  const auto prefix = WinePrefix();
  const auto devices = JoinPath(prefix.value_or(std::string()), "dosdevices");
  for (char letter = 'a'; prefix && letter <= 'z'; ++letter) {
    struct stat target {};
    const auto link = JoinPath(devices, std::string{letter, ':'});
    if (::stat(link.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
      drives.push_back({letter, target.st_dev, target.st_ino});
    }
  }
  if (drives.empty()) {
    struct stat root {};
    if (::stat("/", &root) == 0) drives.push_back({'z', root.st_dev, root.st_ino});
  }
  return drives;
}

[[nodiscard]] std::string ToWindows(char letter, const std::string& rest) {
  std::string path{static_cast<char>(letter - 'a' + 'A'), ':', kWindowsSeparator};
  for (const char c : rest) path += c == kPathSeparator ? kWindowsSeparator : c;
  return path;
}

[[nodiscard]] std::string Convert(const std::string& path, const std::vector<Drive>& drives) {
  // From the path itself up to the root, the first folder that is a drive's gives the letter: the
  // innermost drive wins, and a file that does not exist yet still lies in some folder.
  std::string folder = path;
  std::string rest;
  for (;;) {
    struct stat status {};
    if (::stat(folder.empty() ? "/" : folder.c_str(), &status) == 0) {
      const auto drive = std::find_if(drives.begin(), drives.end(), [&](const Drive& d) {
        return d.device == status.st_dev && d.inode == status.st_ino;
      });
      if (drive != drives.end()) return ToWindows(drive->letter, rest);
    }
    if (folder.empty()) return path;  // on no drive: Wine would not find it either
    const auto slash = folder.find_last_of(kPathSeparator);
    const auto name = folder.substr(slash + 1);
    if (!name.empty()) rest = rest.empty() ? name : name + kPathSeparator + rest;
    folder.resize(slash);
  }
}

}  // namespace

std::string WinePath(const std::string& path) {
  return Convert(path, WineDrives());
}

ProgramLaunch LaunchFor(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return {};
  const auto program = FindProgram(arguments.front());
  if (!IsWindowsProgram(program)) return {arguments, {}};
  // Wine looks for a program on the Windows search path, so it gets the one found here.
  const auto drives = WineDrives();
  ProgramLaunch launch{
      {kShell, "-c", kWineScript, kWine, program.starts_with(kPathSeparator) ? Convert(program, drives) : program}, {}};
  for (auto argument = arguments.begin() + 1; argument != arguments.end(); ++argument) {
    launch.arguments.push_back(argument->starts_with(kPathSeparator) ? Convert(*argument, drives) : *argument);
  }
  if (std::getenv(kWineDebug) == nullptr) launch.environment.push_back(std::string(kWineDebug) + "=-all");
  return launch;
}

std::string LaunchProblem(const std::string& program) {
  if (!IsWindowsProgram(program) || !FindProgram(kWine).empty()) return {};
  return "\"" + program +
         "\" is a Windows program, which runs through Wine, and Wine is not installed. Please install the "
         "Debian package wine (sudo apt install wine).";
}

}  // namespace platform
