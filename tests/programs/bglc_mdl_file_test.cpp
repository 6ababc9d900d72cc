#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "bglc/mdl_file.h"
#include "bglc_test_support.h"
#include "support/temp_folder.h"

namespace bglc {
namespace {

using programs_test::Bytes;

TEST(BglcMdlFile, RiffLayoutByteForByte) {
  const struct {
    const char* name;
    std::string data;
    std::string file;
  } rows[] = {
      {"even", "01 02", "52 49 46 46 0e 00 00 00 4d 44 4c 20 44 41 54 41 02 00 00 00 01 02"},
      {"odd gets a pad byte outside the chunk size", "01 02 03",
       "52 49 46 46 10 00 00 00 4d 44 4c 20 44 41 54 41 03 00 00 00 01 02 03 00"},
      {"empty", "", "52 49 46 46 0c 00 00 00 4d 44 4c 20 44 41 54 41 00 00 00 00"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(MdlFileBytes(Bytes(row.data)), Bytes(row.file));
  }
  // Sizes past 255 must spread over several bytes of the little-endian fields.
  const std::vector<std::uint8_t> large(0x1234, 0xab);
  const std::vector<std::uint8_t> file = MdlFileBytes(large);
  ASSERT_EQ(file.size(), kModelDataOffset + large.size());
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 4, file.begin() + 8), Bytes("40 12 00 00"));
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + kDataChunkSizeOffset, file.begin() + kModelDataOffset),
            Bytes("34 12 00 00"));
}

TEST(BglcMdlFile, ReplacesWholeOrLeavesNothingBehind) {
  const testing_support::TempFolder folder;
  const std::string target = (folder.Path() / "model.mdl").string();
  folder.Write("model.mdl", "old model, longer than the new one");
  WriteFileReplacing(target, Bytes("01 02 03"));
  EXPECT_EQ(testing_support::ReadAll(target), "\x01\x02\x03");

  const std::string unwritable = (folder.Path() / "no such folder" / "model.mdl").string();
  EXPECT_THROW(WriteFileReplacing(unwritable, Bytes("01")), std::system_error);
  // A folder in the target's place cannot be replaced: the scratch file must not stay behind.
  std::filesystem::create_directory(folder.Path() / "taken.mdl");
  EXPECT_THROW(WriteFileReplacing((folder.Path() / "taken.mdl").string(), Bytes("01")), std::system_error);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"model.mdl", "taken.mdl"}));
}

}  // namespace
}  // namespace bglc
