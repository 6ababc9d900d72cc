#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/charset.h"

namespace platform {
namespace {

// Text goes to programs in the ANSI code page: what it holds arrives unchanged, every byte one character.
TEST(SystemCharset, TheAnsiCodePageKeepsItsOwnCharacters) {
  ASSERT_EQ(::GetACP(), 1252u) << "the cases below are written for Windows-1252";
  EXPECT_EQ(ToSystemCharset(""), "");
  const std::string text = "\"C:\\tools\\bglc_9.exe\" caf\xE9 \x80 \xFF";  // é, the euro sign and ÿ are in it
  EXPECT_EQ(ToSystemCharset(text), text);
  std::string everyByte;
  for (int byte = 1; byte < 256; ++byte) everyByte += static_cast<char>(byte);
  EXPECT_EQ(ToSystemCharset(everyByte).size(), everyByte.size());
}

}  // namespace
}  // namespace platform
