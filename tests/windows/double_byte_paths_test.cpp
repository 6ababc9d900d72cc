#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <variant>

#include "catalogue/descriptor.h"
#include "platform/path.h"

// Paths in a double-byte code page, where the second byte of a character may be 0x5C, the byte of "\".
namespace {

// In code page 932 each of these ends in the byte 0x5C.
const std::string kHyou = "\x95\x5C";  // 表
const std::string kSo = "\x83\x5C";    // ソ
const std::string kNou = "\x94\x5C";   // 能

TEST(DoubleBytePaths, ASecondByteOf0x5CIsNoSeparator) {
  ASSERT_EQ(GetACP(), 932U) << "the test runs in the Japanese code page";

  const struct {
    std::string path;
    bool endsWithSeparator;
  } folders[] = {
      {"C:\\Models\\" + kHyou, false}, {"C:\\" + kSo + "\\", true}, {"C:\\", true}, {kNou, false}, {"C:", false}};
  for (const auto& folder : folders) {
    EXPECT_EQ(platform::EndsWithSeparator(folder.path), folder.endsWithSeparator) << folder.path;
  }
  EXPECT_EQ(platform::FindLastCharacterOf("C:\\" + kHyou + kSo, "\\"), 2U);
  EXPECT_EQ(platform::FindFirstCharacterOf(kSo + "a\\b", "\\/"), 3U);

  const struct {
    std::string name;
    bool plain;
  } names[] = {{kHyou + ".asm", true},      {kSo + kNou, true},         {"a\\" + kHyou, false},
               {kHyou + "\\x.asm", false}, {kNou + "/x.asm", false}, {kSo + ":x", false}};
  for (const auto& name : names) EXPECT_EQ(platform::IsPlainFileName(name.name), name.plain) << name.name;

  const auto parsed = catalogue::ParseDescriptor("True\r\nTrue\r\nTrue\r\nTrue\r\n" + kHyou + "\r\n" + kSo + "\\" +
                                                 kNou + ".bmp\r\n" + kNou + ".asm\r\nreserved\r\n");
  ASSERT_TRUE(std::holds_alternative<catalogue::TemplateEntry>(parsed))
      << std::get<catalogue::DescriptorProblem>(parsed).reason;
  EXPECT_EQ(std::get<catalogue::TemplateEntry>(parsed).SourceFile, kNou + ".asm");
}

}  // namespace
