// apt.dat files come from scenery tools and hand edits, plain or gzip-compressed: the reader must
// survive any bytes. The format is recognised as parkmarq-batch --stands does it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "airport/stands_file.h"
#include "stands_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  for (const char* icao : {"", "EDDF"}) {
    airport::PrefixedSource source(content, nullptr);
    CheckStands(airport::ReadStands(source, "fuzz", icao));
  }
  return 0;
}
