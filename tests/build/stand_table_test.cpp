#include "build/stand_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace build {
namespace {

// A row as the test expects it: stand, template, heading, stop, visibility, lateral, output, problem.
struct ExpectedRow {
  int lineNumber;
  std::vector<std::string> texts;
};

struct TableCase {
  const char* name;
  std::string content;
  char separator;
  std::vector<ExpectedRow> rows;
};

std::vector<std::string> TextsOf(const StandRow& row) {
  return {row.stand,     row.templateName, row.values[0], row.values[1],
          row.values[2], row.values[3],    row.output,    row.problem};
}

const std::string kHeader = "stand,template,heading,stop,visibility,lateral";

TEST(StandTableTest, ReadsRowsWhateverTheLayout) {
  const std::vector<TableCase> cases = {
      {"comma",
       kHeader + "\nA1,Dock,90,20,500,10\nA2,Dock,,,,\n",
       ',',
       {{2, {"A1", "Dock", "90", "20", "500", "10", "", ""}}, {3, {"A2", "Dock", "", "", "", "", "", ""}}}},
      {"semicolon and columns in another order, names in any case",
       "Lateral;STOP; template ;stand;visibility;heading;Output\r\n-3.5;45;Dock 2;B7;0;359.99;out/b7.mdl\r\n",
       ';',
       {{2, {"B7", "Dock 2", "359.99", "45", "0", "-3.5", "out/b7.mdl", ""}}}},
      {"tab, blanks inside fields kept",
       "stand\ttemplate\theading\tstop\tvisibility\tlateral\nC 1\tNose in\t 12 \t\t\t\n",
       '\t',
       {{2, {"C 1", "Nose in", "12", "", "", "", "", ""}}}},
      {"commas in quoted header names do not choose the separator",
       "\"a,b,c,d,e,f,g\";stand;template;heading;stop;visibility;lateral\nx;A;T;1;2;3;4\n",
       ';',
       {{2, {"A", "T", "1", "2", "3", "4", "", ""}}}},
      {"quoted fields: doubled quotes, separators, line ends, blanks around quotes",
       kHeader + "\n\"A \"\"north\"\"\" , \"Dock, big\",\"1\r\n2\",20,500,10\nB,\"\",1,2,3,4\n",
       ',',
       {{2, {"A \"north\"", "Dock, big", "1\r\n2", "20", "500", "10", "", ""}},
        {4, {"B", "", "1", "2", "3", "4", "", ""}}}},
      {"byte order mark, empty lines and lines of empty fields are passed over",
       "\xEF\xBB\xBF\n\r\n" + kHeader + "\r\n\r\n,,,,,\nA,T,1,2,3,4\r\r\nB,T,1,2,3,4",
       ',',
       {{6, {"A", "T", "1", "2", "3", "4", "", ""}}, {8, {"B", "T", "1", "2", "3", "4", "", ""}}}},
      {"lone CR line ends",
       kHeader + "\rA,T,1,2,3,4\rB,T,5,6,7,8\r",
       ',',
       {{2, {"A", "T", "1", "2", "3", "4", "", ""}}, {3, {"B", "T", "5", "6", "7", "8", "", ""}}}},
      {"unknown columns are ignored",
       "notes,stand,template,heading,stop,visibility,lateral\nwet,A,T,1,2,3,4\n",
       ',',
       {{2, {"A", "T", "1", "2", "3", "4", "", ""}}}},
      {"a short row keeps its problem and does not stop the next",
       kHeader + ",output\nA,T,1,2,3\nB,T,1,2,3,4,\nC,T,1,2,3,4,c.mdl,,\n",
       ',',
       {{2, {"A", "T", "1", "2", "3", "", "", "the row has 5 fields, the header has 7"}},
        {3, {"B", "T", "1", "2", "3", "4", "", ""}},
        {4, {"C", "T", "1", "2", "3", "4", "c.mdl", ""}}}},
      {"extra fields with text are a problem: an unquoted decimal comma",
       kHeader + "\nA,T,1,5,20,500,10\nB,T,1\n",
       ',',
       {{2, {"A", "T", "1", "5", "20", "500", "", "the row has 7 fields, the header has 6"}},
        {3, {"B", "T", "1", "", "", "", "", "the row has 3 fields, the header has 6"}}}},
      {"a row of one field",
       kHeader + "\nlonely\n",
       ',',
       {{2, {"lonely", "", "", "", "", "", "", "the row has 1 field, the header has 6"}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto parsed = ParseStandTable(c.content);
    ASSERT_TRUE(std::holds_alternative<StandTable>(parsed)) << std::get<StandTableProblem>(parsed).reason;
    const auto& table = std::get<StandTable>(parsed);
    EXPECT_EQ(table.separator, c.separator);
    ASSERT_EQ(table.rows.size(), c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      SCOPED_TRACE("row " + std::to_string(i + 1));
      EXPECT_EQ(table.rows[i].number, static_cast<int>(i) + 1);
      EXPECT_EQ(table.rows[i].lineNumber, c.rows[i].lineNumber);
      EXPECT_EQ(TextsOf(table.rows[i]), c.rows[i].texts);
    }
  }
}

TEST(StandTableTest, NamesIgnoredColumnsAndReadsValuesByParameter) {
  const auto parsed = ParseStandTable("stand,template,heading,stop,visibility,lateral, Remarks ,x\nA,T,1,2,3,4,r,\n");
  ASSERT_TRUE(std::holds_alternative<StandTable>(parsed));
  const auto& table = std::get<StandTable>(parsed);
  EXPECT_EQ(table.ignoredColumns, (std::vector<std::string>{"Remarks", "x"}));
  const auto& row = table.rows.at(0);
  EXPECT_EQ(row.Value(catalogue::Parameter::Heading), "1");
  EXPECT_EQ(row.Value(catalogue::Parameter::StopDistance), "2");
  EXPECT_EQ(row.Value(catalogue::Parameter::VisibilityDistance), "3");
  EXPECT_EQ(row.Value(catalogue::Parameter::LateralDistance), "4");
}

TEST(StandTableTest, RefusesTablesThatCannotBeRead) {
  const struct {
    const char* name;
    std::string content;
    std::string reason;
  } cases[] = {
      {"empty", "", "the table has no header line"},
      {"only empty lines", "\r\n\n\xEF\xBB\xBF",
       "line 3: the header has no column \"stand\", \"template\", \"heading\", "
       "\"stop\", \"visibility\", \"lateral\""},
      {"header only", kHeader + "\r\n\r\n", "the table has no stand rows below its header"},
      {"missing columns", "stand;template;heading;visibility\nA;T;1;2\n",
       "line 1: the header has no column \"stop\", \"lateral\""},
      {"a column twice", "\n" + kHeader + ",Heading\nA,T,1,2,3,4,5\n", "line 2: the column \"heading\" is named twice"},
      {"quote never closed", kHeader + "\nA,\"T,1,2,3,4\nB,T,1,2,3,4\n", "line 2: a quoted field is never closed"},
      {"text after a closing quote", kHeader + "\nA,T,1,2,3,4\nB,\"multi\nline\"x,1,2,3,4\n",
       "line 4: text follows the closing quote of a field"},
      {"broken quote in the header", "\"stand\"s,template,heading,stop,visibility,lateral\n",
       "line 1: text follows the closing quote of a field"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto parsed = ParseStandTable(c.content);
    ASSERT_TRUE(std::holds_alternative<StandTableProblem>(parsed));
    EXPECT_EQ(std::get<StandTableProblem>(parsed).reason, c.reason);
  }
}

}  // namespace
}  // namespace build
