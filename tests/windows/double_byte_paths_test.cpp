#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <variant>

#include "catalogue/descriptor.h"
#include "platform/path.h"

// Paths in a double-byte code page, where the second byte of a character may be 0x5C, the byte of "\".
namespace {

TEST(DoubleBytePaths, ASecondByteOf0x5CIsNoSeparator) {
  ASSERT_EQ(GetACP(), 932U) << "the test runs in the Japanese code page";
  // In code page 932 each of these ends in the byte 0x5C.
  const std::string hyou = "\x95\x5C", so = "\x83\x5C", nou = "\x94\x5C";  // 表, ソ, 能

  const std::pair<std::string, bool> folders[] = {
      {"C:\\Models\\" + hyou, false}, {"C:\\" + so + "\\", true}, {"C:\\", true}, {nou, false}, {"C:", false}};
  for (const auto& [path, ends] : folders) EXPECT_EQ(platform::EndsWithSeparator(path), ends) << path;
  EXPECT_EQ(platform::FindLastCharacterOf("C:\\" + hyou + so, "\\"), 2U);
  EXPECT_EQ(platform::FindFirstCharacterOf(so + "a\\b", "\\/"), 3U);
  const std::pair<std::string, bool> names[] = {{hyou + ".asm", true},      {so + nou, true},
                                                {"a\\" + hyou, false},     {hyou + "\\x.asm", false},
                                                {nou + "/x.asm", false},   {so + ":x", false}};
  for (const auto& [name, plain] : names) EXPECT_EQ(platform::IsPlainFileName(name), plain) << name;

  const auto parsed = catalogue::ParseDescriptor("True\r\nTrue\r\nTrue\r\nTrue\r\n" + hyou + "\r\n" + so + "\\" + nou +
                                                 ".bmp\r\n" + nou + ".asm\r\nreserved\r\n");
  ASSERT_TRUE(std::holds_alternative<catalogue::TemplateEntry>(parsed))
      << std::get<catalogue::DescriptorProblem>(parsed).reason;
  EXPECT_EQ(std::get<catalogue::TemplateEntry>(parsed).SourceFile, nou + ".asm");
}

}  // namespace
