#include "platform/path.h"

namespace platform {

const char kPathSeparator = '\\';

}  // namespace platform
