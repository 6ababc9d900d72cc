#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/charset.h"

namespace platform {
namespace {

// Text goes to programs in the ANSI code page: what it holds arrives unchanged, the rest as '?'.
TEST(SystemCharset, TheAnsiCodePageKeepsItsOwnCharacters) {
  ASSERT_EQ(::GetACP(), 1252u) << "the cases below are written for Windows-1252";
  const struct {
    const char* text;
    const char* expected;
  } rows[] = {
      {"plain \"C:\\tools\\bglc_9.exe\" 1", "plain \"C:\\tools\\bglc_9.exe\" 1"},
      {"caf\xE9 \x80 \xFF", "caf\xE9 \x80 \xFF"},  // é, the euro sign and ÿ are in the code page
      {"", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(ToSystemCharset(row.text), row.expected);
  }
  // Every byte stands for one character there, so nothing changes length.
  std::string everyByte;
  for (int byte = 1; byte < 256; ++byte) everyByte += static_cast<char>(byte);
  EXPECT_EQ(ToSystemCharset(everyByte).size(), everyByte.size());
}

}  // namespace
}  // namespace platform
