#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "catalogue/parameter.h"

namespace build {

// Header names of a stand table, matched without regard to letter case or surrounding blanks.
inline constexpr std::string_view kStandColumn = "stand";
inline constexpr std::string_view kTemplateColumn = "template";
inline constexpr std::string_view kOutputColumn = "output";
// Optional: where the stand is, in decimal degrees, passed on to the placement list.
inline constexpr std::string_view kLatitudeColumn = "lat";
inline constexpr std::string_view kLongitudeColumn = "lon";

// The column that carries a parameter's field text: heading, stop, visibility, lateral.
[[nodiscard]] std::string_view ColumnName(catalogue::Parameter parameter);

// One data row: the texts a user would have typed into the window for one stand.
struct StandRow {
  int number = 0;      // position among the data rows, from 1
  int lineNumber = 0;  // line of the file on which the row starts
  std::string stand;
  std::string templateName;
  std::array<std::string, catalogue::kParameters.size()> values{};  // in kParameters order
  std::string output;   // empty when the table has no output column or the field is empty
  std::string latitude;   // empty when the table has no lat column or the field is empty
  std::string longitude;  // likewise for lon
  std::string problem;  // why the row's fields do not fit the header; empty for a sound row

  [[nodiscard]] const std::string& Value(catalogue::Parameter parameter) const;
};

struct StandTable {
  char separator = ',';
  std::vector<StandRow> rows;
  std::vector<std::string> ignoredColumns;  // header names that are no column of a stand table
};

// Why a table as a whole cannot be used; the text names the line where that is known.
struct StandTableProblem {
  std::string reason;
};

// Reads a stand table: a header line naming the columns in any order (stand, template, heading,
// stop, visibility, lateral, and optionally output, lat and lon), then one stand per line.
// - The separator is the comma, semicolon or tab that occurs most often in the header line.
// - Fields follow RFC 4180: a field in double quotes may hold separators and line ends, and "" in it
//   stands for one quote. Blanks around an unquoted field, and around the quotes, are dropped.
// - Lines end at CR LF, LF or CR. A UTF-8 byte order mark at the start is skipped. Lines that are
//   empty (or hold only empty fields) are skipped.
// - A row with fewer fields than the header, or with more that are not all empty, is kept with its
//   problem set, so that the other rows can still be built.
// Refused as a whole: no header, a column missing or named twice, a quote never closed or followed
// by text, no data row.
[[nodiscard]] std::variant<StandTable, StandTableProblem> ParseStandTable(std::string_view content);

// One line of a comma-separated table as this reader takes it back: a field holding a comma, a quote
// or a line break, or with a blank at either end, is quoted, its quotes doubled; every other field is
// written as it is. Ends in "\n".
[[nodiscard]] std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace build
