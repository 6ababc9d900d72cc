#include <gtest/gtest.h>

#include <string>

#include "bglc/assembler.h"
#include "bglc/demo_layout.h"
#include "bglc_test_support.h"

namespace bglc {
namespace {

using programs_test::AssembleText;
using programs_test::Bytes;
using programs_test::FirstError;

// A source and either the bytes it assembles to or the first error it must report.
struct SourceRow {
  const char* name;
  std::string source;
  std::string bytes;  // hex pairs, when the source is valid
  std::string error;  // the first error as printed, when it is not
};

void CheckRows(const std::vector<SourceRow>& rows) {
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Assembly assembly = AssembleText(row.source);
    if (row.error.empty()) {
      EXPECT_EQ(FirstError(assembly), "");
      EXPECT_EQ(assembly.data, Bytes(row.bytes));
    } else {
      EXPECT_EQ(FirstError(assembly), row.error);
      EXPECT_TRUE(assembly.data.empty()) << "no model data may come out of a failed assembly";
    }
  }
}

TEST(BglcAssembler, DirectivesAndTheirRangeBoundaries) {
  CheckRows({
      {"db low", "db -128", "80", ""},
      {"db high", "db 255", "ff", ""},
      {"db above", "db 256", "", "main.asm(1): error: 256 is out of range for db (-128..255)"},
      {"db below", "db -129", "", "main.asm(1): error: -129 is out of range for db (-128..255)"},
      {"dw low", "dw -32768", "00 80", ""},
      {"dw high", "dw 65535", "ff ff", ""},
      {"dw above", "dw 65536", "", "main.asm(1): error: 65536 is out of range for dw (-32768..65535)"},
      {"dw below", "dw -32769", "", "main.asm(1): error: -32769 is out of range for dw (-32768..65535)"},
      {"dd low", "dd -2147483648", "00 00 00 80", ""},
      {"dd high", "dd 4294967295", "ff ff ff ff", ""},
      {"dd above", "dd 4294967296", "",
       "main.asm(1): error: 4294967296 is out of range for dd (-2147483648..4294967295)"},
      {"dd below", "dd -2147483649", "",
       "main.asm(1): error: -2147483649 is out of range for dd (-2147483648..4294967295)"},
      {"real4", "real4 -0.744", "c9 76 3e bf", ""},
      {"real4 tiny", "real4 1e-50", "00 00 00 00", ""},
      {"real4 above", "real4 3.5e38", "", "main.asm(1): error: 3.5e38 is out of range for real4"},
      {"real8", "real8 1.5e3", "00 00 00 00 00 70 97 40", ""},
      {"real8 whole", "real8 -2", "00 00 00 00 00 00 00 c0", ""},
      {"list", "db 1, 2,3\t,4", "01 02 03 04", ""},
      {"mixed case", "DW 1\nReal4 0", "01 00 00 00 00 00", ""},
      {"comments and blanks", "; header\n\n\t dw 1 ; one\n   \n", "01 00", ""},
      {"line ends", "db 1\rdb 2\ndb 3\r\ndb 4", "01 02 03 04", ""},
      {"line count over mixed ends", "db 1\rdb 2\n\r\ndb 300", "",
       "main.asm(4): error: 300 is out of range for db (-128..255)"},
      {"empty source", "", "", ""},
      {"real in dw", "dw 1.5", "", "main.asm(1): error: dw needs a whole number, not 1.5"},
      {"decimal comma", "real4 -0,744", "",
       "main.asm(1): error: real4 takes one value, not the list \"-0,744\" (a decimal comma instead of a point?)"},
      {"empty item", "db 1,,2", "", "main.asm(1): error: empty value in the list of db"},
      {"no value", "dw", "", "main.asm(1): error: dw needs a value"},
      {"not a number", "dw 12abc", "", "main.asm(1): error: \"12abc\" is neither a number nor a name"},
      {"huge", "dd 99999999999999999999", "", "main.asm(1): error: \"99999999999999999999\" is too large a number"},
      {"unknown directive", "dq 1", "", "main.asm(1): error: unknown directive \"dq\""},
      {"label without colon", "lonely", "",
       "main.asm(1): error: unknown directive \"lonely\" (a label needs a colon: lonely:)"},
      {"directive as label", "dw: db 1", "", "main.asm(1): error: \"dw\" is a directive, not a label name"},
  });
}

TEST(BglcAssembler, LabelsAndConstants) {
  // start = 0; first = 4; second = 8; end_mark = 11, used before its line.
  const std::string source =
      "start:\n"
      "  dd end_mark\n"
      "first: dw start, first\n"
      "second dw second\n"
      "count equ three\n"
      "three EQU 3\n"
      "  db count\n"
      "end_mark:\n";
  CheckRows({
      {"offsets, forward use, constant chains", source, "0b 00 00 00 00 00 04 00 08 00 03", ""},
      {"real constant in real4", "half equ 0.5\nreal4 half", "00 00 00 3f", ""},
      {"real constant in dw", "half equ 0.5\ndw half", "",
       "main.asm(2): error: dw needs a whole number, not half (= 0.5)"},
      {"constant out of range", "big equ 70000\ndw big", "",
       "main.asm(2): error: big (= 70000) is out of range for dw (-32768..65535)"},
      {"names are case-sensitive", "a: db 1\ndb A", "", "main.asm(2): error: undefined name \"A\""},
      {"duplicate", "a: db 1\na dw 2", "", "main.asm(2): error: \"a\" is already defined at main.asm(1)"},
      {"label then constant", "a:\na equ 1", "", "main.asm(2): error: \"a\" is already defined at main.asm(1)"},
      {"self reference", "a equ a\ndb a", "", "main.asm(1): error: \"a\" is defined in terms of itself"},
      {"bad constant value", "k equ 1x\ndb 0", "", "main.asm(1): error: \"1x\" is neither a number nor a name"},
      {"equ without name", "equ 5", "", "main.asm(1): error: equ needs a name before it"},
  });
  // A cycle is one fault: one message, not one for each constant and each use.
  const Assembly cycle = AssembleText("a equ b\nb equ a\ndb a, b\ndw a");
  ASSERT_EQ(cycle.errors.size(), 1u) << FirstError(cycle);
  EXPECT_EQ(FirstError(cycle), "main.asm(1): error: \"a\" is defined in terms of itself");
}

TEST(BglcAssembler, IncludesResolveBesideTheIncludingFile) {
  MemorySourceFiles files;
  files.Add("dir/main.asm", "db 1\ninclude sub/part.asm\ndb 4\ninclude \"../top.asm\"\n");
  files.Add("dir/sub/part.asm", "db 2\ninclude leaf.asm\npart_end:");
  files.Add("dir/sub/leaf.asm", "db 3\n");
  files.Add("top.asm", "dw part_end\n");
  const Assembly assembly = Assemble("dir/main.asm", files);
  ASSERT_TRUE(assembly.ok()) << FirstError(assembly);
  EXPECT_EQ(assembly.data, Bytes("01 02 03 04 03 00"));
  EXPECT_EQ(assembly.filesRead,
            (std::vector<std::string>{"dir/main.asm", "dir/sub/part.asm", "dir/sub/leaf.asm", "dir/../top.asm"}));
}

TEST(BglcAssembler, IncludeFailuresPointAtTheIncludeLine) {
  struct Row {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    std::string error;
  };
  std::vector<std::pair<std::string, std::string>> deepChain;
  for (int i = 0; i < 20; ++i)
    deepChain.emplace_back("d" + std::to_string(i) + ".asm", "include d" + std::to_string(i + 1) + ".asm");
  deepChain.front().first = "main.asm";
  const Row rows[] = {
      {"missing include",
       {{"main.asm", "db 1\ninclude gone.asm"}},
       "main.asm(2): error: cannot open \"gone.asm\": No such file or directory"},
      {"missing main source", {}, "main.asm: error: cannot open \"main.asm\": No such file or directory"},
      {"includes itself",
       {{"main.asm", "include ./main.asm"}},
       "main.asm(1): error: include cycle: main.asm -> main.asm"},
      {"cycle through another",
       {{"main.asm", "include b.asm"}, {"b.asm", "db 1\ninclude main.asm"}},
       "b.asm(2): error: include cycle: main.asm -> b.asm -> main.asm"},
      {"too deep", deepChain, "d15.asm(1): error: includes nested more than 16 deep"},
      {"label on include", {{"main.asm", "x: include a.asm"}}, "main.asm(1): error: include cannot carry a label"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    MemorySourceFiles files;
    for (const auto& [path, text] : row.files) files.Add(path, text);
    const Assembly assembly = Assemble("main.asm", files);
    EXPECT_EQ(FirstError(assembly), row.error);
    EXPECT_TRUE(assembly.data.empty());
  }
}

// The demo parameter source as shipped still holds every token: each must be an undefined name at
// its own line, never silently taken for something else.
TEST(BglcAssembler, UnreplacedTokensAreUndefinedNames) {
  const std::string path = std::string(DEMO_SOURCE_DIR) + "/safedock_t1_0.asm";
  const Assembly assembly = Assemble(path, DiskSourceFiles{});
  ASSERT_EQ(assembly.errors.size(), demo::kParameterSlots.size());
  std::size_t previousLine = 0;
  for (std::size_t i = 0; i < assembly.errors.size(); ++i) {
    const Diagnostic& error = assembly.errors[i];
    EXPECT_EQ(error.where.file, path);
    EXPECT_GT(error.where.line, previousLine);
    previousLine = error.where.line;
    EXPECT_EQ(error.message, "undefined name \"" + std::string(demo::kParameterSlots[i].token) + "\"");
  }
}

TEST(BglcAssembler, RunawaySourcesStopWithAnError) {
  const Limits limits{.includeDepth = 16, .sourceLines = 5000, .dataBytes = 4096, .errors = 10};
  const auto repeated = [](const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
  };
  MemorySourceFiles files;
  files.Add("lines.asm", repeated("include block.asm\n", 20));  // 20 + 1000 per include
  files.Add("block.asm", repeated("; blank\n", 1000));
  files.Add("bytes.asm", repeated("include wide.asm\n", 10));  // 1024 bytes per include
  files.Add("wide.asm", "dd 0" + repeated(",0", 255));
  files.Add("errors.asm", repeated("dw x\n", 50));

  const Assembly lines = Assemble("lines.asm", files, limits);
  EXPECT_EQ(FirstError(lines), "lines.asm(5): error: more than 5000 source lines in all (an include repeated?)");
  const Assembly bytes = Assemble("bytes.asm", files, limits);
  EXPECT_EQ(FirstError(bytes), "wide.asm(1): error: the model data grows beyond 4096 bytes");
  EXPECT_TRUE(bytes.data.empty());
  const Assembly errors = Assemble("errors.asm", files, limits);
  ASSERT_EQ(errors.errors.size(), limits.errors + 1);
  EXPECT_EQ(errors.errors.back().message, "too many errors; stopping here");
}

}  // namespace
}  // namespace bglc
