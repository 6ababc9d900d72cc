#include "platform/program_launch.h"

namespace platform {

// Windows starts its own programs, a compiler of the simulator's among them, as they are.
ProgramLaunch LaunchFor(const std::vector<std::string>& arguments) {
  return {arguments, {}};
}

std::string LaunchProblem(const std::string& /*program*/) {
  return {};
}

std::string WinePath(const std::string& path) {
  return path;  // already the Windows path
}

}  // namespace platform
