// Stand tables come from spreadsheets and hand edits: the reader must survive any bytes, and what it
// reads must read back the same when written out again fully quoted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "build/stand_table.h"

namespace {

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::vector<std::string> Texts(const build::StandRow& row) {
  std::vector<std::string> texts = {row.stand, row.templateName};
  texts.insert(texts.end(), row.values.begin(), row.values.end());
  texts.push_back(row.output);
  return texts;
}

bool AllEmpty(const std::vector<std::string>& texts) {
  for (const auto& text : texts) {
    if (!text.empty()) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const auto parsed = build::ParseStandTable(content);
  const auto* table = std::get_if<build::StandTable>(&parsed);
  if (table == nullptr) return 0;

  const std::string separator(1, table->separator);
  std::string written = "stand" + separator + "template" + separator + "heading" + separator + "stop" + separator +
                        "visibility" + separator + "lateral" + separator + "output\r\n";
  std::vector<std::vector<std::string>> expected;
  for (std::size_t i = 0; i < table->rows.size(); ++i) {
    const auto& row = table->rows[i];
    if (row.number != static_cast<int>(i) + 1) std::abort();
    if (!row.problem.empty()) continue;
    auto texts = Texts(row);
    if (AllEmpty(texts)) continue;  // its text was all in ignored columns; written out it is an empty line
    for (std::size_t t = 0; t < texts.size(); ++t) written += (t == 0 ? "" : separator) + Quoted(texts[t]);
    written += "\r\n";
    expected.push_back(std::move(texts));
  }
  if (expected.empty()) return 0;

  const auto reread = build::ParseStandTable(written);
  const auto* again = std::get_if<build::StandTable>(&reread);
  if (again == nullptr || again->rows.size() != expected.size()) std::abort();
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (!again->rows[i].problem.empty() || Texts(again->rows[i]) != expected[i]) std::abort();
  }
  return 0;
}
