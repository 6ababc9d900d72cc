// The stand-in compiler: its assembler in-process, the program as a child process.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bglc/assembler.h"
#include "bglc/demo_layout.h"
#include "bglc/mdl_file.h"
#include "build/replace_all.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace bglc {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;
using testing_support::RunProgram;
using testing_support::TempFolder;
using Files = std::vector<std::pair<std::string, std::string>>;

// Bytes as hex pairs separated by blanks: "01 ff".
std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string hex;
  for (const std::uint8_t byte : bytes)
    hex += std::string(hex.empty() ? "" : " ") + "0123456789abcdef"[byte >> 4] + "0123456789abcdef"[byte & 15];
  return hex;
}

// The model data in hex, or every error as "FILE(LINE): error: MESSAGE", one a line (and a note when
// data came out of a failed assembly all the same).
std::string Outcome(const Assembly& assembly) {
  std::string errors;
  for (const auto& error : assembly.errors) errors += (errors.empty() ? "" : "\n") + FormatDiagnostic(error);
  return assembly.ok() ? Hex(assembly.data) : errors + (assembly.data.empty() ? "" : " [and model data]");
}

// Each row's source (as main.asm, beside files every row may include) and its Outcome.
void CheckRows(const Files& rows, const Files& beside = {}, const Limits& limits = {}) {
  for (const auto& [source, outcome] : rows) {
    SCOPED_TRACE(source.substr(0, 80));
    MemorySourceFiles files;
    for (const auto& [path, text] : beside) files.Add(path, text);
    files.Add("main.asm", source);
    EXPECT_EQ(Outcome(Assemble("main.asm", files, limits)), outcome);
  }
}

// Every directive and range boundary, labels and constants, includes; each fault named with file and line.
TEST(BglcAssembler, SourcesAssembleOrSayWhereAndWhy) {
  const std::string huge = std::string(400, '1') + "e-1";  // too large despite its negative exponent
  CheckRows(
      {
          {"db -128, 255", "80 ff"},
          {"db 256\ndb -129",
           "main.asm(1): error: 256 is out of range for db (-128..255)\n"
           "main.asm(2): error: -129 is out of range for db (-128..255)"},
          {"dw -32768, 65535", "00 80 ff ff"},
          {"dd -2147483648, 4294967295", "00 00 00 80 ff ff ff ff"},
          {"dd 18446744073709551617", "main.asm(1): error: \"18446744073709551617\" is too large a number"},  // wraps
          {"dw 0FFFFh, -8000H, +7", "ff ff 00 80 07 00"},
          {"real4 -0.744\nreal4 .5\nreal4 5.\nreal4 2E-2\nreal4 1e-50",
           "c9 76 3e bf 00 00 00 3f 00 00 a0 40 0a d7 a3 3c 00 00 00 00"},
          {"real4 3.5e38", "main.asm(1): error: 3.5e38 is out of range for real4"},
          {"real8 1.5e3\nreal8 -1e-400", "00 00 00 00 00 70 97 40 00 00 00 00 00 00 00 80"},
          {"real8 1e400\nreal8 " + huge, "main.asm(1): error: \"1e400\" is too large a number\nmain.asm(2): error: \"" +
                                             huge + "\" is too large a number"},
          {"; header\n\n\t DB 1, 2,3\t,4 ; one\n   \nReal4 -2", "01 02 03 04 00 00 00 c0"},
          {"db 1\rdb 2\n\r\ndb 3\r\ndb 300", "main.asm(5): error: 300 is out of range for db (-128..255)"},
          {"dw 1.5", "main.asm(1): error: dw needs a whole number, not 1.5"},
          {"real4 -0,744",
           "main.asm(1): error: real4 takes one value, not the list \"-0,744\" (a decimal comma instead of a point?)"},
          {"db 1,,2\ndw", "main.asm(1): error: empty value in the list of db\nmain.asm(2): error: dw needs a value"},
          {"dw 1.2.3", "main.asm(1): error: \"1.2.3\" is neither a number nor a name"},
          // start = 0, first = 4, second = 8, end_mark = 11 (used before its line), count = three = 3
          {"start:\n  dd end_mark\nfirst: dw start, first\nsecond dw second\ncount equ three\nthree EQU 3\n  db "
           "count\nend_mark:\n",
           "0b 00 00 00 00 00 04 00 08 00 03"},
          {"half equ 0.5\nreal4 half", "00 00 00 3f"},
          {"half equ 0.5\ndw half", "main.asm(2): error: dw needs a whole number, not half (= 0.5)"},
          {"big equ 70000\ndw big", "main.asm(2): error: big (= 70000) is out of range for dw (-32768..65535)"},
          {"a: db 1\ndb A", "main.asm(2): error: undefined name \"A\""},
          {"a: db 1\na dw 2", "main.asm(2): error: \"a\" is already defined at main.asm(1)"},
          // a cycle is one fault: one message, not one for each constant and each use
          {"a equ b\nb equ a\ndb a, b\ndw a", "main.asm(1): error: \"a\" is defined in terms of itself"},
          {"include dir/a.asm", "01 02 03 04 03 00"},
          {"db 1\ninclude gone.asm", "main.asm(2): error: cannot open \"gone.asm\": No such file or directory"},
          {"include b.asm", "b.asm(2): error: include cycle: main.asm -> b.asm -> main.asm"},
      },
      {{"dir/a.asm", "db 1\ninclude sub/part.asm\ndb 4\ninclude \"../top.asm\"\n"},
       {"dir/sub/part.asm", "db 2\ninclude leaf.asm\npart_end:"},
       {"dir/sub/leaf.asm", "db 3\n"},
       {"top.asm", "dw part_end\n"},
       {"b.asm", "db 1\ninclude main.asm"}});
  // An include repeated past a limit (here a tight one) stops instead of growing without end.
  CheckRows(
      {{"include c.asm\ninclude c.asm", "c.asm(2): error: more than 5 source lines in all (an include repeated?)"}},
      {{"c.asm", "db 1\ndb 2\n"}}, {.sourceLines = 5});
}

TEST(BglcProgram, RiffLayoutByteForByte) {
  const std::string riff = "52 49 46 46 ", tags = " 4d 44 4c 20 44 41 54 41 ";  // "RIFF", size, "MDL DATA", size
  // An odd size gets a pad byte outside the chunk size.
  EXPECT_EQ(Hex(MdlFileBytes(std::vector<std::uint8_t>{1, 2, 3})),
            riff + "10 00 00 00" + tags + "03 00 00 00 01 02 03 00");
  const std::string large = Hex(MdlFileBytes(std::vector<std::uint8_t>(0x1234, 0xab)));
  EXPECT_EQ(large.size(), (kModelDataOffset + 0x1234) * 3 - 1);
  EXPECT_EQ(large.substr(0, kModelDataOffset * 3), riff + "40 12 00 00" + tags + "34 12 00 00 ");
}

// Each demo template as shipped takes no token for something else; prepared as the build does (tokens
// replaced in slot order, NVLH before NVL) with values at the limits of what the build writes, it
// compiles over a longer old model, each value where its slot says.
TEST(BglcProgram, EveryDemoTemplateCompilesWithItsParametersAtTheDocumentedOffsets) {
  const std::array<std::string, demo::kParameterSlots.size()> values{
      "16384", "32767", "4294967295", "32768", "-32768", "40000", "-10", "-8000.250", "-8000.300", "0.264", "0.236"};
  for (const std::string_view name : demo::kDemoTemplates) {
    SCOPED_TRACE(name);
    const std::string demo = std::string(DEMO_SOURCE_DIR) + "/" + std::string(name);
    EXPECT_EQ(Assemble(demo + ".asm", DiskSourceFiles{}).errors.size(), values.size());
    const TempFolder folder;
    std::string parameters = ReadAll(demo + "_0.asm");
    for (std::size_t i = 0; i < values.size(); ++i) {
      parameters = build::ReplaceAll(parameters, demo::kParameterSlots[i].token, values[i]);
    }
    folder.Write(std::string(name) + "_0.asm", parameters);
    const std::string source = folder.Write(std::string(name) + ".asm", ReadAll(demo + ".asm")).string();
    const std::string output = folder.Write("out dir/model.mdl", std::string(100000, 'x')).string();
    const auto run = RunProgram(BGLC_EXE, {source, output});
    ASSERT_EQ(run.exitStatus, 0) << run.output;

    const Assembly assembly = Assemble(source, DiskSourceFiles{});
    const std::string model = ReadAll(output);
    EXPECT_EQ(std::vector<std::uint8_t>(model.begin(), model.end()), MdlFileBytes(assembly.data));
    EXPECT_EQ(Hex(assembly.data).substr(0, demo::kParameterBlockSize * 3 - 1),
              "00 40 ff 7f ff ff ff ff 00 80 00 00 00 80 ff ff 40 9c 00 00 f6 ff ff ff 00 02 fa c5 66 02 fa c5 02 2b "
              "87 3e fc a9 71 3e");
  }
}

// Whatever stops it, the program exits 1, leaves no model (an old one at the output is removed, no
// scratch file stays) and never writes over a source.
TEST(BglcProgram, AFailedRunExitsOneAndLeavesNoModel) {
  const TempFolder folder;
  const std::string good = folder.Write("good.asm", "include part.asm\r\n").string();
  const std::string part = folder.Write("part.asm", "db 1\r\n").string();
  const std::string bad = folder.Write("bad.asm", "dw 1\r\ndw NVL\r\n").string();
  const std::string model = (folder.Path() / "model.mdl").string();
  const std::string taken = (folder.Path() / "taken.mdl").string();
  fs::create_directory(taken);
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{}, "usage: bglc_9.exe SOURCE.asm OUTPUT.mdl"},
      {{good, good}, "the output path is the source file itself"},
      {{good, part}, "the output path is the source file \"" + part + "\""},
      {{bad, model}, "bad.asm(2): error: undefined name \"NVL\""},
      {{good, taken}, "cannot replace the model file"},
  };
  for (const auto& [arguments, message] : rows) {
    SCOPED_TRACE(message);
    folder.Write("model.mdl", "a model from an earlier build");
    const auto run = RunProgram(BGLC_EXE, arguments);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
    EXPECT_EQ(ReadAll(good) + ReadAll(part) + ReadAll(bad), "include part.asm\r\ndb 1\r\ndw 1\r\ndw NVL\r\n");
    EXPECT_EQ(fs::exists(model), arguments.empty() || arguments.back() != model);
    EXPECT_TRUE(arguments.empty() || !fs::exists(arguments.back() + ".partial"));
  }
  EXPECT_TRUE(fs::is_empty(taken));
}

}  // namespace
}  // namespace bglc
