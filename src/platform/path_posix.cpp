#include "platform/path.h"

namespace platform {

const char kPathSeparator = '/';
const std::string_view kPathDelimiters = "/";

std::size_t FindFirstCharacterOf(std::string_view text, std::string_view chars) {
  return text.find_first_of(chars);
}

std::size_t FindLastCharacterOf(std::string_view text, std::string_view chars) {
  return text.find_last_of(chars);
}

}  // namespace platform
