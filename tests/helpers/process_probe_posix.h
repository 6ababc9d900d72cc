#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "support/temp_folder.h"

namespace test_helpers {

// The state letters of this process's children ('Z' for one ended but not reaped), from fields 3
// and 4 of /proc/<pid>/stat; the command name before them may hold blanks and ")".
[[nodiscard]] inline std::string ChildStates() {
  std::string states;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    if (entry.path().filename().string().find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string stat = testing_support::ReadAll(entry.path() / "stat");  // "" once the process is gone
    char state = '\0';
    int parent = 0;
    if (std::sscanf(stat.c_str() + stat.rfind(')') + 1, " %c %d", &state, &parent) == 2 && parent == getpid()) {
      states += state;
    }
  }
  return states;
}

}  // namespace test_helpers
