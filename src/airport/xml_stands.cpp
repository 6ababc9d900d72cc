#include "airport/xml_stands.h"

#include <algorithm>
#include <array>
#include <vector>

#include <pugixml.hpp>

#include "airport/stand_values.h"

namespace airport {

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return lower;
}

// The encoding named in the XML declaration, lower case; empty when there is none.
std::string DeclaredEncoding(std::string_view content) {
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  if (!content.starts_with("<?xml")) return {};
  const std::string_view declaration = content.substr(0, content.find("?>"));
  const auto at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  const auto quote = declaration.find_first_of("\"'", at);
  if (quote == std::string_view::npos) return {};
  const auto close = declaration.find(declaration[quote], quote + 1);
  if (close == std::string_view::npos) return {};
  return Lower(declaration.substr(quote + 1, close - quote - 1));
}

// Windows-1252 where it differs from ISO-8859-1: 0x80 to 0x9F (0 where the code page leaves a byte unused).
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

// A single-byte text as UTF-8, so that offsets the parser reports stay offsets into one buffer.
std::string SingleByteToUtf8(std::string_view content, bool windows1252) {
  std::wstring wide;
  wide.reserve(content.size());
  for (const char c : content) {
    const auto byte = static_cast<unsigned char>(c);
    const char16_t mapped = windows1252 && byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : 0;
    wide += static_cast<wchar_t>(mapped != 0 ? mapped : byte);
  }
  return pugi::as_utf8(wide);
}

// Line numbers of byte offsets in one text.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') lineEnds_.push_back(i);
    }
  }
  [[nodiscard]] int Line(std::ptrdiff_t offset) const {
    if (offset < 0) return 0;
    const auto before = std::lower_bound(lineEnds_.begin(), lineEnds_.end(), static_cast<std::size_t>(offset));
    return static_cast<int>(before - lineEnds_.begin()) + 1;
  }
  [[nodiscard]] int Column(std::ptrdiff_t offset) const {
    const int line = Line(offset);
    const std::size_t start = line <= 1 ? 0 : lineEnds_[static_cast<std::size_t>(line) - 2] + 1;
    return static_cast<int>(static_cast<std::size_t>(offset) - start) + 1;
  }

 private:
  std::vector<std::size_t> lineEnds_;
};

bool IsInteger(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

struct StandTexts {
  std::string latitude, longitude, heading;
};

void Add(AirportStands& into, Stand stand, const StandTexts& texts, std::string problem) {
  if (problem.empty()) problem = SetPlace(stand, texts.latitude, texts.longitude, texts.heading);
  if (!problem.empty()) {
    into.skipped.push_back({stand.lineNumber, std::move(stand.name), std::move(problem)});
  } else {
    into.stands.push_back(std::move(stand));
  }
}

StandTexts Texts(const pugi::xml_node& element) {
  return {element.attribute("lat").value(), element.attribute("lon").value(), element.attribute("heading").value()};
}

void ReadSize(Stand& stand, const pugi::xml_node& element) {
  stand.radius = ParseDecimal(element.attribute("radius").value());
  stand.airlines = element.attribute("airlineCodes").value();
}

// <TaxiwayParking name="GATE_A" number="12" suffix="B" type="GATE_HEAVY" .../> is "GATE_A 12B".
void ReadSdkAirport(const pugi::xml_node& airport, const LineIndex& lines, AirportStands& into) {
  for (const pugi::xml_node parking : airport.children("TaxiwayParking")) {
    Stand stand;
    const std::string name = parking.attribute("name").value();
    const std::string number = parking.attribute("number").value();
    stand.name = name + (number.empty() ? "" : " " + number) + parking.attribute("suffix").value();
    stand.type = parking.attribute("type").value();
    stand.kind = stand.type.starts_with("GATE_") ? StandKind::Gate : StandKind::Other;
    stand.lineNumber = lines.Line(parking.offset_debug());
    ReadSize(stand, parking);
    std::string problem;
    if (name.empty()) problem = "no name";
    else if (!IsInteger(number)) problem = number.empty() ? "no number" : "unreadable number \"" + number + "\"";
    Add(into, std::move(stand), Texts(parking), std::move(problem));
  }
}

// <Parking name="A" number="10" type="gate" .../> is "A10".
void ReadFlightGear(const pugi::xml_document& document, const LineIndex& lines, AirportStands& into) {
  for (const pugi::xpath_node found : document.select_nodes("//Parking")) {
    const pugi::xml_node parking = found.node();
    Stand stand;
    stand.name = std::string(parking.attribute("name").value()) + parking.attribute("number").value();
    stand.type = parking.attribute("type").value();
    stand.kind = stand.type == "gate" ? StandKind::Gate : StandKind::Other;
    stand.lineNumber = lines.Line(parking.offset_debug());
    ReadSize(stand, parking);
    std::string problem = stand.name.empty() ? "no name" : "";
    Add(into, std::move(stand), Texts(parking), std::move(problem));
  }
}

}  // namespace

bool LooksLikeXml(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  // UTF-16 and UTF-32, with or without a byte order mark, begin with a zero or a mark.
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
      (bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0') && (bytes[0] == '<' || bytes[1] == '<'))) {
    return true;
  }
  const auto first = bytes.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && bytes[first] == '<';
}

std::optional<StandsResult> ReadXmlStands(std::string content, const std::string& name, const std::string& icao) {
  const std::string encoding = DeclaredEncoding(content);
  pugi::xml_encoding parseAs = pugi::encoding_utf8;
  if (encoding == "iso-8859-1" || encoding == "latin1" || encoding == "latin-1" || encoding == "iso_8859-1" ||
      encoding == "windows-1252" || encoding == "cp1252") {
    content = SingleByteToUtf8(content, encoding.find("1252") != std::string::npos);
  } else if (encoding.starts_with("utf-16") || encoding.starts_with("utf-32") || content.starts_with("\xFF\xFE") ||
             content.starts_with("\xFE\xFF") || (content.size() > 1 && (content[0] == '\0' || content[1] == '\0'))) {
    parseAs = pugi::encoding_auto;  // the parser converts; stands then carry no line number
  } else if (!encoding.empty() && encoding != "utf-8" && encoding != "utf8" && encoding != "us-ascii" &&
             encoding != "ascii") {
    return StandsProblem{name + " declares the encoding \"" + encoding +
                         "\", which is not read (UTF-8, UTF-16, ISO-8859-1 and windows-1252 are)"};
  }

  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(content.data(), content.size(), pugi::parse_default, parseAs);
  const LineIndex lines(parseAs == pugi::encoding_utf8 ? std::string_view(content) : std::string_view());
  if (!parsed) {
    std::string where;
    if (parseAs == pugi::encoding_utf8) {
      where = ": line " + std::to_string(lines.Line(parsed.offset)) + ", column " +
              std::to_string(lines.Column(parsed.offset));
    }
    return StandsProblem{name + where + ": the XML is not well-formed (" + parsed.description() + ")"};
  }

  const pugi::xpath_node_set airports = document.select_nodes("//Airport");
  if (!airports.empty()) {
    AirportStands result{std::string(kSdkFormat), {}, {}, {}, {}};
    std::vector<std::string> idents;
    pugi::xml_node chosen;
    for (const pugi::xpath_node& airport : airports) {
      idents.emplace_back(airport.node().attribute("ident").value());
      if (!chosen && (icao.empty() || Lower(idents.back()) == Lower(icao))) chosen = airport.node();
    }
    if (!chosen) return StandsProblem{"the airport " + icao + " is not in " + name};
    result.airport = chosen.attribute("ident").value();
    if (icao.empty() && idents.size() > 1) {
      result.note = name + " holds " + std::to_string(idents.size()) + " airports; the first, " + result.airport +
                    ", is read (--airport chooses another)";
    }
    ReadSdkAirport(chosen, lines, result);
    return result;
  }
  if (document.select_node("//Parking") || document.child("groundnet")) {
    AirportStands result{std::string(kFlightGearFormat), {}, {}, {}, {}};
    if (!icao.empty()) {
      result.note = name + " is a FlightGear ground network, which does not name its airport; --airport " + icao +
                    " is not checked";
    }
    ReadFlightGear(document, lines, result);
    return result;
  }
  return std::nullopt;
}

}  // namespace airport
