#include "build/stand_table.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace build {
namespace {

const std::string kHeader = "stand,template,heading,stop,visibility,lateral";

// The separator, then each row as "LINE|stand|template|heading|stop|visibility|lateral|output|problem";
// or why the table is refused.
std::string Read(const std::string& content) {
  const auto parsed = ParseStandTable(content);
  if (const auto* problem = std::get_if<StandTableProblem>(&parsed)) return "refused: " + problem->reason;
  const auto& table = std::get<StandTable>(parsed);
  std::string read(1, table.separator);
  for (const auto& row : table.rows) {
    read += "\n" + std::to_string(row.lineNumber);
    for (const auto& field : {row.stand, row.templateName, row.values[0], row.values[1], row.values[2], row.values[3],
                              row.output, row.problem})
      read += "|" + field;
  }
  return read;
}

TEST(StandTableTest, ReadsRowsWhateverTheLayoutOrSaysWhyNot) {
  const std::pair<std::string, std::string> cases[] = {
      // columns in any order and case
      {"Lateral;STOP; template ;stand;visibility;heading;Output\r\n-3.5;45;Dock 2;B7;0;359.99;out/b7.mdl\r\n",
       ";\n2|B7|Dock 2|359.99|45|0|-3.5|out/b7.mdl|"},
      // blanks around fields dropped, inside kept
      {"stand\ttemplate\theading\tstop\tvisibility\tlateral\nC 1\tNose in\t 12 \t\t\t\n", "\t\n2|C 1|Nose in|12|||||"},
      // commas in a quoted header name do not choose the separator
      {"\"a,b,c,d,e,f,g\";stand;template;heading;stop;visibility;lateral\nx;A;T;1;2;3;4\n", ";\n2|A|T|1|2|3|4||"},
      // quoted: doubled quotes, separators, line ends, blanks around quotes
      {kHeader + "\n\"A \"\"north\"\"\" , \"Dock, big\",\"1\r\n2\",20,500,10\nB,\"\",1,2,3,4\n",
       ",\n2|A \"north\"|Dock, big|1\r\n2|20|500|10||\n4|B||1|2|3|4||"},
      // byte order mark, empty lines, lines of empty fields, lone CR
      {"\xEF\xBB\xBF\n\r\n" + kHeader + "\r\n\r\n,,,,,\nA,T,1,2,3,4\r\rB,T,5,6,7,8\r",
       ",\n6|A|T|1|2|3|4||\n8|B|T|5|6|7|8||"},
      // a short row keeps its problem and does not stop the next; empty extra fields are no problem
      {kHeader + ",output\nA,T,1,2,3\nB,T,1,2,3,4,\nC,T,1,2,3,4,c.mdl,,\n",
       ",\n2|A|T|1|2|3|||the row has 5 fields, the header has 7\n3|B|T|1|2|3|4||\n4|C|T|1|2|3|4|c.mdl|"},
      // extra fields with text: an unquoted decimal comma; one field
      {kHeader + "\nA,T,1,5,20,500,10\nlonely\n",
       ",\n2|A|T|1|5|20|500||the row has 7 fields, the header has 6\n3|lonely|||||||the row has 1 field, the header "
       "has 6"},
      {"", "refused: the table has no header line"},
      {kHeader + "\r\n\r\n", "refused: the table has no stand rows below its header"},
      {"stand;template;heading;visibility\nA;T;1;2\n",
       "refused: line 1: the header has no column \"stop\", \"lateral\""},
      {"\n" + kHeader + ",Heading\nA,T,1,2,3,4,5\n", "refused: line 2: the column \"heading\" is named twice"},
      {kHeader + "\nA,\"T,1,2,3,4\nB,T,1,2,3,4\n", "refused: line 2: a quoted field is never closed"},
  };
  for (const auto& [content, read] : cases) {
    SCOPED_TRACE(content);
    EXPECT_EQ(Read(content), read);
  }
}

}  // namespace
}  // namespace build
