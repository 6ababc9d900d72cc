#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>

#include "platform/standard_streams.h"

namespace platform {

void WriteStandardStreamsAsBytes() {
  std::cout.flush();
  std::cerr.flush();
  // A stream that is not open (a program started without one) simply stays as it is.
  (void)::_setmode(::_fileno(stdout), _O_BINARY);
  (void)::_setmode(::_fileno(stderr), _O_BINARY);
}

void ReadStandardInputAsBytes() {
  (void)::_setmode(::_fileno(stdin), _O_BINARY);
}

}  // namespace platform
