#include "platform/path.h"

namespace platform {

const char kPathSeparator = '\\';
const std::string_view kPathDelimiters = "\\/:";

}  // namespace platform
