// XML airport files (the SDK's source, FlightGear ground networks) come from editors and hand edits,
// in any declared encoding: the reader must survive any bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "airport/xml_stands.h"
#include "stands_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  for (const char* icao : {"", "LSGG"}) {
    if (const auto read = airport::ReadXmlStands(content, "fuzz", icao)) CheckStands(*read);
  }
  return 0;
}
