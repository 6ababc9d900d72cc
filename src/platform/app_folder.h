#pragma once

#include <string>

namespace platform {

// The folder that holds the running executable, without a trailing separator, whatever the current
// directory. Throws std::system_error when the executable's location cannot be read.
[[nodiscard]] std::string ApplicationFolder();

}  // namespace platform
