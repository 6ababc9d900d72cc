#pragma once

#include <string>
#include <string_view>

namespace build {

// Every occurrence of from (case-sensitive, also inside longer words) replaced by to, searching from
// the start and going on after each replacement, so replaced text is never searched again.
[[nodiscard]] inline std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace build
