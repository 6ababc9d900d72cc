#include "platform/path.h"

#include "platform/win32_api.h"

namespace platform {

const char kPathSeparator = '\\';
const std::string_view kPathDelimiters = "\\/:";

namespace {

// Calls visit with the place of every character of text that is one byte long.
template <typename Visit>
void ForEachSingleByteCharacter(std::string_view text, Visit&& visit) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (::IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[at])) != FALSE && at + 1 < text.size()) {
      ++at;
    } else if (!visit(at)) {
      return;
    }
  }
}

}  // namespace

std::size_t FindFirstCharacterOf(std::string_view text, std::string_view chars) {
  std::size_t found = std::string_view::npos;
  ForEachSingleByteCharacter(text, [&](std::size_t at) {
    if (chars.find(text[at]) != std::string_view::npos) found = at;
    return found == std::string_view::npos;
  });
  return found;
}

std::size_t FindLastCharacterOf(std::string_view text, std::string_view chars) {
  std::size_t found = std::string_view::npos;
  ForEachSingleByteCharacter(text, [&](std::size_t at) {
    if (chars.find(text[at]) != std::string_view::npos) found = at;
    return true;
  });
  return found;
}

}  // namespace platform
