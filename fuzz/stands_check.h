#pragma once

#include <cmath>
#include <cstdlib>

#include "airport/stand.h"
#include "airport/stand_values.h"

// Every stand a reader gives must be usable as it is: a name, a heading in [0, 360), a position in range.
inline void CheckStands(const airport::StandsResult& read) {
  const auto* stands = std::get_if<airport::AirportStands>(&read);
  if (stands == nullptr) return;
  for (const auto& stand : stands->stands) {
    const auto heading = airport::ParseDecimal(stand.heading);
    if (!heading || *heading < 0 || *heading >= 360 || std::fabs(stand.latitude) > 90 ||
        std::fabs(stand.longitude) > 180 || stand.name.empty()) {
      std::abort();
    }
  }
}
