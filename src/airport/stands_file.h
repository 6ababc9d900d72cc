#pragma once

#include <string>

#include "airport/byte_source.h"
#include "airport/stand.h"

namespace airport {

// The stands of one airport in a file of any format read here, recognised from its content, never
// its name: X-Plane apt.dat (plain or gzip-compressed), the simulator SDK's XML airport source,
// FlightGear ground networks. icao names the airport; empty takes the file's first (SDK) or only one
// (apt.dat). name is the file's name for messages. A file of no known format, or one that cannot be
// read, is a problem.
[[nodiscard]] StandsResult ReadStands(ByteSource& source, const std::string& name, const std::string& icao);

// The same for the file at path.
[[nodiscard]] StandsResult ReadStandsFile(const std::string& path, const std::string& icao);

}  // namespace airport
