#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace airport {

// heading normalised to 0 <= h < 360, written with no more decimals than text gave and no trailing
// zeros ("-66" 294, "265.00" 265, "360" 0); nullopt unless text is a plain decimal number.
[[nodiscard]] std::optional<std::string> NormalisedHeading(std::string_view text);

enum class Axis { Latitude, Longitude };

// An angle in decimal degrees ("-9.4114", "+47.5") or with a hemisphere letter and degrees, decimal
// minutes and seconds ("N47 25.89", "W22 37.478", "N47 25' 53.40\"", "E8.5"); nullopt when it is
// neither, names the other axis' hemisphere, or lies out of the axis' range.
[[nodiscard]] std::optional<double> ParseAngle(std::string_view text, Axis axis);

// Decimal degrees with 8 decimals, as stand tables carry them.
[[nodiscard]] std::string DegreesText(double degrees);

// Decimal number without exponent, as the formats write them; nullopt for anything else.
[[nodiscard]] std::optional<double> ParseDecimal(std::string_view text);

}  // namespace airport

namespace airport {

struct Stand;

// Sets the stand's position and heading from the file's texts; an empty text is a missing field.
// Returns why the stand cannot be used ("no heading", "unreadable latitude \"95\""), empty when it can.
[[nodiscard]] std::string SetPlace(Stand& stand, std::string_view latitude, std::string_view longitude,
                                   std::string_view heading);

}  // namespace airport
