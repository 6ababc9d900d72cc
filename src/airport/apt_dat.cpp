#include "airport/apt_dat.h"

#include <array>
#include <vector>

#include "airport/stand_values.h"

namespace airport {

namespace {

constexpr int kFirstVersion = 850;
constexpr int kLastVersion = 1200;

enum Row : int {
  kLandAirport = 1,
  kRampStart = 15,
  kSeaplaneBase = 16,
  kHeliport = 17,
  kEnd = 99,
  kStartupLocation = 1300,
  kStartupMetadata = 1301,
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The row code at the start of line, -1 when it does not start with one.
int RowCode(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  int code = 0;
  const std::size_t first = i;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9' && i - first < 6) code = code * 10 + (line[i++] - '0');
  if (i == first || (i < line.size() && !IsBlank(line[i]))) return -1;
  return code;
}

// The first count fields of line, split at runs of blanks, and the rest of the line after them
// (trimmed): for a row whose last field is a name that may hold blanks.
struct Fields {
  std::array<std::string_view, 8> field{};
  std::size_t count = 0;
  std::string_view rest;
};

Fields Split(std::string_view line, std::size_t count) {
  Fields fields;
  std::size_t i = 0;
  while (fields.count < count) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    fields.field[fields.count++] = line.substr(start, i - start);
  }
  while (i < line.size() && IsBlank(line[i])) ++i;
  std::size_t end = line.size();
  while (end > i && IsBlank(line[end - 1])) --end;
  fields.rest = line.substr(i, end - i);
  return fields;
}

bool SameCode(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

// The stands of the airport being read: 1300 rows and 15 rows apart, as the second count only
// without the first.
struct Collected {
  std::vector<Stand> stands;
  std::vector<SkippedStand> skipped;
};

void AddStand(Collected& into, Stand stand, std::string_view latitude, std::string_view longitude,
              std::string_view heading) {
  if (stand.name.empty()) {
    into.skipped.push_back({stand.lineNumber, {}, "no name"});
    return;
  }
  std::string problem = SetPlace(stand, latitude, longitude, heading);
  if (!problem.empty()) {
    into.skipped.push_back({stand.lineNumber, std::move(stand.name), std::move(problem)});
    return;
  }
  into.stands.push_back(std::move(stand));
}

}  // namespace

bool LooksLikeAptDat(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const auto lineEnd = bytes.find('\n');
  if (lineEnd == std::string_view::npos) return false;
  std::string_view first = bytes.substr(0, lineEnd);
  while (!first.empty() && (IsBlank(first.back()) || first.back() == '\r')) first.remove_suffix(1);
  if (first != "I" && first != "A") return false;
  return RowCode(bytes.substr(lineEnd + 1, bytes.find('\n', lineEnd + 1) - lineEnd - 1)) > 0;
}

StandsResult ReadAptDat(ByteSource& source, const std::string& name, const std::string& icao) {
  LineReader lines(source);
  std::string_view line;
  if (!lines.Next(line) || !lines.Next(line)) return StandsProblem{name + ": the apt.dat header is incomplete"};
  const int version = RowCode(line);
  if (version < kFirstVersion || version > kLastVersion) {
    return StandsProblem{name + ": apt.dat version " + std::to_string(version) + " is not read (versions " +
                         std::to_string(kFirstVersion) + " to " + std::to_string(kLastVersion) + " are)"};
  }

  AirportStands result{std::string(kAptDatFormat), icao, {}, {}, {}};
  std::vector<std::string> airports;  // seen so far, while looking for the only one
  bool inAirport = false;
  bool found = false;
  Collected fromStartupLocations;
  Collected fromRampStarts;
  Stand* lastStartupLocation = nullptr;
  while (lines.Next(line)) {
    const int code = RowCode(line);
    if (code == kLandAirport || code == kSeaplaneBase || code == kHeliport) {
      if (inAirport && !icao.empty()) break;  // the rest of the file is other airports
      const std::string_view code5 = Split(line, 5).field[4];
      if (icao.empty()) {
        airports.emplace_back(code5);
        if (airports.size() > 1) break;
        inAirport = true;
      } else {
        inAirport = SameCode(code5, icao);
        if (inAirport) result.airport = std::string(code5);
      }
      found = found || inAirport;
      lastStartupLocation = nullptr;
      continue;
    }
    if (code == kEnd) break;
    if (!inAirport) continue;
    if (code == kStartupLocation) {
      const Fields f = Split(line, 6);
      Stand stand;
      stand.name = std::string(f.rest);
      stand.type = std::string(f.field[4]);
      stand.kind = stand.type == "gate" ? StandKind::Gate : StandKind::Other;
      stand.lineNumber = lines.LineNumber();
      const std::size_t before = fromStartupLocations.stands.size();
      AddStand(fromStartupLocations, std::move(stand), f.field[1], f.field[2], f.field[3]);
      lastStartupLocation =
          fromStartupLocations.stands.size() > before ? &fromStartupLocations.stands.back() : nullptr;
    } else if (code == kStartupMetadata) {
      if (lastStartupLocation != nullptr) {
        const Fields f = Split(line, 3);
        lastStartupLocation->widthClass = std::string(f.field[1]);
        lastStartupLocation->airlines = std::string(f.rest);
      }
      lastStartupLocation = nullptr;
    } else if (code == kRampStart) {
      const Fields f = Split(line, 4);
      Stand stand;
      stand.name = std::string(f.rest);
      stand.lineNumber = lines.LineNumber();
      AddStand(fromRampStarts, std::move(stand), f.field[1], f.field[2], f.field[3]);
      lastStartupLocation = nullptr;
    } else {
      lastStartupLocation = nullptr;
    }
  }

  if (icao.empty()) {
    if (airports.empty()) return StandsProblem{name + " holds no airport"};
    if (airports.size() > 1) {
      return StandsProblem{name + " holds more than one airport (the first two are " + airports[0] + " and " +
                           airports[1] + "); --airport ICAO chooses one"};
    }
    result.airport = airports.front();
  } else if (!found) {
    return StandsProblem{"the airport " + icao + " is not in " + name};
  }
  const bool startupLocations = !fromStartupLocations.stands.empty() || !fromStartupLocations.skipped.empty();
  Collected& chosen = startupLocations ? fromStartupLocations : fromRampStarts;
  result.stands = std::move(chosen.stands);
  result.skipped = std::move(chosen.skipped);
  return result;
}

}  // namespace airport
