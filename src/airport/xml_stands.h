#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "airport/stand.h"

namespace airport {

inline constexpr std::string_view kSdkFormat = "the simulator SDK's XML airport source";
inline constexpr std::string_view kFlightGearFormat = "FlightGear groundnet.xml or parking.xml";

// True when bytes begin as an XML document does (after a byte order mark and blanks).
[[nodiscard]] bool LooksLikeXml(std::string_view bytes);

// The stands of an XML airport file: the SDK's source (<Airport ident> holding <TaxiwayParking>; the
// airport named icao, else the first) or a FlightGear ground network (<Parking>, one airport that the
// file does not name). The encoding the declaration names is honoured. nullopt when the document is
// neither; a problem when it is not well-formed (naming line and column) or icao is not in it.
[[nodiscard]] std::optional<StandsResult> ReadXmlStands(std::string content, const std::string& name,
                                                        const std::string& icao);

}  // namespace airport
