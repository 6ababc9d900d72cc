#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace build {

// A path or a field text as a build report shows it: in double quotes.
[[nodiscard]] inline std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  quoted += text;
  quoted += '"';
  return quoted;
}

// Rethrows a failure of the file system as the build's report: what the build could not do, then the
// system's reason, which std::system_error appends after a colon.
[[noreturn]] inline void ThrowBuildFailure(const std::string& what, const std::system_error& cause) {
  throw std::system_error(cause.code(), what);
}

}  // namespace build
