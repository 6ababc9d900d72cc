#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "airport/byte_source.h"
#include "airport/stand.h"

namespace airport {

inline constexpr std::string_view kAptDatFormat = "X-Plane apt.dat";

// True when bytes begin as an apt.dat file does: a line "I" or "A", then one starting with the version.
[[nodiscard]] bool LooksLikeAptDat(std::string_view bytes);

// The stands of one airport in an apt.dat file, versions 850 to 1200: the airport named icao, or the
// only airport of the file when icao is empty. The file is read line by line and reading stops at the
// end of the airport, so that memory does not grow with the file. Row 1300 gives a stand, a 1301 row
// below it its width class and airlines; row 15 gives a stand of kind other, but only in an airport
// without 1300 rows. name is the file's name for messages.
[[nodiscard]] StandsResult ReadAptDat(ByteSource& source, const std::string& name, const std::string& icao);

}  // namespace airport
