#include "platform/standard_streams.h"

namespace platform {

void WriteStandardStreamsAsBytes() {}

void ReadStandardInputAsBytes() {}

}  // namespace platform
