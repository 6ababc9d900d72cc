#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <string>

#include "bglc/assembler.h"
#include "bglc/demo_layout.h"
#include "bglc/mdl_file.h"
#include "bglc_test_support.h"
#include "run_program.h"
#include "support/temp_folder.h"

namespace bglc {
namespace {

using programs_test::FirstError;
using programs_test::RunProgram;
using testing_support::ReadAll;
using testing_support::TempFolder;

std::string Replace(std::string text, std::string_view token, const std::string& value) {
  for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size())) {
    text.replace(at, token.size(), value);
  }
  return text;
}

// Token values as the build writes them, in the order of demo::kParameterSlots (which is also the
// order the build replaces them in, NVLH before NVL).
using TokenValues = std::array<std::string, demo::kParameterSlots.size()>;

const TokenValues kDefaults{"16384", "32767", "500", "0", "-32768", "20", "10", "-0.744", "-0.794", "-0.236", "-0.264"};
const TokenValues kExtremes{"16384", "32767",     "4294967295", "32768", "-32768", "40000",
                            "-10",   "-8000.250", "-8000.300",  "0.264", "0.236"};

// Copies a demo template into folder as the build does: the main source as it is, the parameter
// source with its tokens replaced. Returns the main source's path there.
std::string PrepareTemplate(const TempFolder& folder, std::string_view name, const TokenValues& values) {
  const std::string demo = std::string(DEMO_SOURCE_DIR) + "/" + std::string(name);
  std::string parameters = ReadAll(demo + "_0.asm");
  for (std::size_t i = 0; i < values.size(); ++i)
    parameters = Replace(parameters, demo::kParameterSlots[i].token, values[i]);
  folder.Write(std::string(name) + "_0.asm", parameters);
  return folder.Write(std::string(name) + ".asm", ReadAll(demo + ".asm")).string();
}

template <typename T>
T At(const std::vector<std::uint8_t>& data, std::size_t offset) {
  T value;
  std::memcpy(&value, data.data() + offset, sizeof value);  // the test host is little-endian like the file
  return value;
}

TEST(BglcProgram, EveryDemoTemplateCompilesWithItsParametersAtTheDocumentedOffsets) {
  for (const TokenValues* values : {&kDefaults, &kExtremes}) {
    for (const std::string_view name : demo::kDemoTemplates) {
      SCOPED_TRACE(std::string(name) + (values == &kDefaults ? " defaults" : " extremes"));
      const TempFolder folder;
      const std::string source = PrepareTemplate(folder, name, *values);
      const Assembly assembly = Assemble(source, DiskSourceFiles{});
      ASSERT_TRUE(assembly.ok()) << FirstError(assembly);
      ASSERT_GT(assembly.data.size(), demo::kParameterBlockSize);
      for (std::size_t i = 0; i < values->size(); ++i) {
        const demo::ParameterSlot& slot = demo::kParameterSlots[i];
        SCOPED_TRACE(slot.token);
        const std::string& text = (*values)[i];
        switch (slot.type) {
          case demo::SlotType::kWord:
            EXPECT_EQ(At<std::uint16_t>(assembly.data, slot.offset), static_cast<std::uint16_t>(std::stoll(text)));
            break;
          case demo::SlotType::kDword:
            EXPECT_EQ(At<std::uint32_t>(assembly.data, slot.offset), static_cast<std::uint32_t>(std::stoll(text)));
            break;
          case demo::SlotType::kReal4: EXPECT_EQ(At<float>(assembly.data, slot.offset), std::stof(text)); break;
        }
      }
      if (values != &kDefaults) continue;
      // The shipped program writes exactly the assembled data into its model file.
      const std::string output = (folder.Path() / "out dir" / "model.mdl").string();
      std::filesystem::create_directory(folder.Path() / "out dir");
      const auto run = RunProgram(BGLC_EXE, {source, output});
      ASSERT_EQ(run.exitStatus, 0) << run.output;
      EXPECT_NE(run.output.find("wrote"), std::string::npos) << run.output;
      const std::string written = ReadAll(output);
      EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()), MdlFileBytes(assembly.data));
    }
  }
}

TEST(BglcProgram, AFailedCompileExitsOneAndLeavesNoModel) {
  const struct {
    const char* name;
    std::string source;
    bool oldModel;
    std::string message;
  } rows[] = {
      {"token left in, old model present", "dw 1\r\ndw NVL\r\n", true, "main.asm(2): error: undefined name \"NVL\""},
      {"missing include", "include nothing.asm\r\n", false, "main.asm(1): error: cannot open"},
      {"out of range, old model present", "db 1000\r\n", true, "main.asm(1): error: 1000 is out of range for db"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const TempFolder folder;
    const std::string source = folder.Write("main.asm", row.source).string();
    const std::string output = (folder.Path() / "model.mdl").string();
    if (row.oldModel) folder.Write("model.mdl", "a model from an earlier build");
    const auto run = RunProgram(BGLC_EXE, {source, output});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.output.find(row.message), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_FALSE(std::filesystem::exists(output + ".partial"));
  }
}

TEST(BglcProgram, RefusesBadCommandLinesWithoutTouchingTheSources) {
  const TempFolder folder;
  const std::string source = folder.Write("main.asm", "include part.asm\r\n").string();
  const std::string part = folder.Write("part.asm", "db 1\r\n").string();
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    std::string message;
  } rows[] = {
      {"no arguments", {}, "usage: bglc_9.exe SOURCE.asm OUTPUT.mdl"},
      {"output over the source", {source, source}, "the output path is the source file itself"},
      {"output over an include", {source, part}, "the output path is the source file \"" + part + "\""},
      {"output folder missing", {source, (folder.Path() / "gone" / "x.mdl").string()}, "cannot create the model file"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto run = RunProgram(BGLC_EXE, row.arguments);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.output.find(row.message), std::string::npos) << run.output;
    EXPECT_EQ(ReadAll(source), "include part.asm\r\n");
    EXPECT_EQ(ReadAll(part), "db 1\r\n");
  }
}

}  // namespace
}  // namespace bglc
