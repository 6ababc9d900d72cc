#include "build/stand_table.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "build/build_failure.h"

namespace build {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::array<char, 3> kSeparators = {',', ';', '\t'};

struct Record {
  int lineNumber = 0;
  std::vector<std::string> fields;

  [[nodiscard]] bool Empty() const {
    return std::all_of(fields.begin(), fields.end(), [](const std::string& field) { return field.empty(); });
  }
};

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// Splits the content into records. Line ends inside quotes belong to the field; the line count
// still follows them so that messages name the line a reader sees in an editor.
class RecordReader {
 public:
  RecordReader(std::string_view content, char separator) : text_(content), separator_(separator) {}

  [[nodiscard]] bool AtEnd() const { return pos_ >= text_.size(); }

  // The next record, or nullopt with problem_ set when its quoting is broken.
  [[nodiscard]] std::optional<Record> Next() {
    Record record{line_, {}};
    while (true) {
      std::optional<std::string> field = NextField();
      if (!field) return std::nullopt;
      record.fields.push_back(std::move(*field));
      if (!AtEnd() && text_[pos_] == separator_) {
        ++pos_;
        continue;
      }
      SkipLineEnd();
      return record;
    }
  }

  [[nodiscard]] const std::string& Problem() const { return problem_; }

 private:
  [[nodiscard]] bool IsBlank(char c) const { return c == ' ' || (c == '\t' && separator_ != '\t'); }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
  }

  void SkipLineEnd() {
    if (AtEnd()) return;
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
  }

  [[nodiscard]] std::optional<std::string> NextField() {
    SkipBlanks();
    if (!AtEnd() && text_[pos_] == '"') return QuotedField();
    const std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] != separator_ && !IsLineEnd(text_[pos_])) ++pos_;
    std::size_t end = pos_;
    while (end > start && IsBlank(text_[end - 1])) --end;
    return std::string(text_.substr(start, end - start));
  }

  [[nodiscard]] std::optional<std::string> QuotedField() {
    const int openedOn = line_;
    ++pos_;
    std::string field;
    while (true) {
      if (AtEnd()) {
        problem_ = "line " + std::to_string(openedOn) + ": a quoted field is never closed";
        return std::nullopt;
      }
      const char c = text_[pos_++];
      if (c == '"') {
        if (AtEnd() || text_[pos_] != '"') break;
        ++pos_;
      } else if (c == '\n' || (c == '\r' && (AtEnd() || text_[pos_] != '\n'))) {
        ++line_;
      }
      field += c;
    }
    SkipBlanks();
    if (!AtEnd() && text_[pos_] != separator_ && !IsLineEnd(text_[pos_])) {
      problem_ = "line " + std::to_string(line_) + ": text follows the closing quote of a field";
      return std::nullopt;
    }
    return field;
  }

  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::string problem_;
};

// The separator the header line uses most; quoted header names do not count. Empty lines before the
// header are passed over, as the reader skips them too.
char DetectSeparator(std::string_view content) {
  content.remove_prefix(std::min(content.size(), content.find_first_not_of("\r\n")));
  std::array<int, kSeparators.size()> counts{};
  bool quoted = false;
  for (const char c : content) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (IsLineEnd(c)) break;
    for (std::size_t i = 0; i < kSeparators.size(); ++i) {
      if (c == kSeparators[i]) ++counts[i];
    }
  }
  const auto most = std::max_element(counts.begin(), counts.end());
  return kSeparators[static_cast<std::size_t>(most - counts.begin())];
}

std::string Normalised(std::string_view name) {
  const auto first = name.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return lower;
}

// Where each column of a stand table sits in a record; npos for an absent optional column.
struct ColumnMap {
  static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
  std::size_t stand = kAbsent;
  std::size_t templateName = kAbsent;
  std::array<std::size_t, catalogue::kParameters.size()> values{kAbsent, kAbsent, kAbsent, kAbsent};
  std::size_t output = kAbsent;
  std::size_t latitude = kAbsent;
  std::size_t longitude = kAbsent;
  std::size_t width = 0;
};

std::variant<ColumnMap, StandTableProblem> MapColumns(const Record& header, std::vector<std::string>& ignored) {
  ColumnMap map;
  map.width = header.fields.size();
  std::vector<std::pair<std::string_view, std::size_t*>> known = {
      {kStandColumn, &map.stand},         {kTemplateColumn, &map.templateName},
      {kOutputColumn, &map.output},       {kLatitudeColumn, &map.latitude},
      {kLongitudeColumn, &map.longitude}};
  for (std::size_t i = 0; i < catalogue::kParameters.size(); ++i) {
    known.emplace_back(ColumnName(catalogue::kParameters[i]), &map.values[i]);
  }
  for (std::size_t column = 0; column < header.fields.size(); ++column) {
    const std::string name = Normalised(header.fields[column]);
    const auto slot = std::find_if(known.begin(), known.end(), [&](const auto& k) { return k.first == name; });
    if (slot == known.end()) {
      ignored.push_back(header.fields[column]);
    } else if (*slot->second != ColumnMap::kAbsent) {
      return StandTableProblem{"line " + std::to_string(header.lineNumber) + ": the column " + Quoted(name) +
                               " is named twice"};
    } else {
      *slot->second = column;
    }
  }
  std::string missing;
  for (const auto& [name, slot] : known) {
    const bool optional = name == kOutputColumn || name == kLatitudeColumn || name == kLongitudeColumn;
    if (*slot != ColumnMap::kAbsent || optional) continue;
    missing += missing.empty() ? "" : ", ";
    missing += Quoted(name);
  }
  if (!missing.empty()) {
    return StandTableProblem{"line " + std::to_string(header.lineNumber) + ": the header has no column " + missing};
  }
  return map;
}

StandRow RowFromRecord(Record record, const ColumnMap& map, int number) {
  StandRow row;
  row.number = number;
  row.lineNumber = record.lineNumber;
  const std::size_t count = record.fields.size();
  const bool extraAreEmpty =
      std::all_of(record.fields.begin() + static_cast<std::ptrdiff_t>(std::min(count, map.width)), record.fields.end(),
                  [](const std::string& field) { return field.empty(); });
  if (count < map.width || !extraAreEmpty) {
    row.problem = "the row has " + std::to_string(count) + (count == 1 ? " field" : " fields") + ", the header has " +
                  std::to_string(map.width);
  }
  const auto take = [&](std::size_t column) { return column < count ? std::move(record.fields[column]) : ""; };
  row.stand = take(map.stand);
  row.templateName = take(map.templateName);
  for (std::size_t i = 0; i < row.values.size(); ++i) row.values[i] = take(map.values[i]);
  for (const auto& [column, text] : {std::pair{map.output, &row.output}, std::pair{map.latitude, &row.latitude},
                                     std::pair{map.longitude, &row.longitude}}) {
    if (column != ColumnMap::kAbsent) *text = take(column);
  }
  return row;
}

}  // namespace

std::string_view ColumnName(catalogue::Parameter parameter) {
  switch (parameter) {
    case catalogue::Parameter::Heading: return "heading";
    case catalogue::Parameter::StopDistance: return "stop";
    case catalogue::Parameter::VisibilityDistance: return "visibility";
    case catalogue::Parameter::LateralDistance: return "lateral";
  }
  return {};
}

const std::string& StandRow::Value(catalogue::Parameter parameter) const {
  return values[static_cast<std::size_t>(parameter) - 1];
}

std::variant<StandTable, StandTableProblem> ParseStandTable(std::string_view content) {
  if (content.starts_with(kByteOrderMark)) content.remove_prefix(kByteOrderMark.size());
  StandTable table;
  table.separator = DetectSeparator(content);
  RecordReader reader(content, table.separator);

  std::optional<ColumnMap> columns;
  while (!reader.AtEnd()) {
    std::optional<Record> record = reader.Next();
    if (!record) return StandTableProblem{reader.Problem()};
    if (record->Empty()) continue;
    if (!columns) {
      auto mapped = MapColumns(*record, table.ignoredColumns);
      if (auto* problem = std::get_if<StandTableProblem>(&mapped)) return std::move(*problem);
      columns = std::get<ColumnMap>(mapped);
      continue;
    }
    const int number = static_cast<int>(table.rows.size()) + 1;
    table.rows.push_back(RowFromRecord(std::move(*record), *columns, number));
  }
  if (!columns) return StandTableProblem{"the table has no header line"};
  if (table.rows.empty()) return StandTableProblem{"the table has no stand rows below its header"};
  return table;
}

namespace {

bool IsBlankAtEdge(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    const std::string& field = fields[i];
    // The reader drops blanks around an unquoted field; quotes keep them.
    const bool blankAtEdge = !field.empty() && (IsBlankAtEdge(field.front()) || IsBlankAtEdge(field.back()));
    if (field.find_first_of(",\"\r\n") == std::string::npos && !blankAtEdge) {
      line += field;
      continue;
    }
    line += '"';
    for (const char c : field) line += c == '"' ? std::string("\"\"") : std::string(1, c);
    line += '"';
  }
  return line + "\n";
}

}  // namespace build
