#include "platform/standard_streams.h"

namespace platform {

void WriteStandardStreamsAsBytes() {}

}  // namespace platform
