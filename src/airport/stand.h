#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace airport {

// Gate: a stand where a docking display belongs (apt.dat "gate", SDK GATE_*, FlightGear "gate").
enum class StandKind { Gate, Other };

// One stand as its file describes it. Every heading is true: where the parked aircraft's nose points.
struct Stand {
  std::string name;  // bytes as the file gives them (UTF-8)
  std::string type;  // the file's own word for the kind, e.g. "gate", "GATE_HEAVY", "ga"
  StandKind kind = StandKind::Other;
  double latitude = 0;
  double longitude = 0;
  std::string heading;  // 0 <= h < 360, no more decimals than the file gave, no trailing zeros
  // What the file says of the stand's size and users, kept for later use.
  std::optional<double> radius;  // metres
  std::string widthClass;        // ICAO aerodrome reference code letter, A to F
  std::string airlines;          // codes as the file lists them
  int lineNumber = 0;
};

// A stand the reader had to leave out, and why.
struct SkippedStand {
  int lineNumber = 0;
  std::string name;  // as far as it could be read
  std::string reason;
};

struct AirportStands {
  std::string format;   // "X-Plane apt.dat", ...
  std::string airport;  // the ICAO code or ident; empty where the format does not name it
  std::string note;     // what the caller should tell the user about the choice of airport, if anything
  std::vector<Stand> stands;  // in the file's order
  std::vector<SkippedStand> skipped;
};

// Why the file gives no stands at all: one line for the user.
struct StandsProblem {
  std::string reason;
};

using StandsResult = std::variant<AirportStands, StandsProblem>;

}  // namespace airport
