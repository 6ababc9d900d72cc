#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/charset.h"
#include "platform/process.h"

namespace {

TEST(SplitCommandLineTest, BlanksSeparateAndQuotesKeepTogether) {
  using Arguments = std::vector<std::string>;
  const struct {
    const char* name;
    std::string line;
    Arguments expected;
  } cases[] = {
      {"empty", "", {}},
      {"blanks only", " \t  ", {}},
      {"one word", "prog", {"prog"}},
      {"runs of blanks and tabs", "  a \t b  c ", {"a", "b", "c"}},
      {"quoted with blanks", "\"/opt/my tools/bglc 9\" \"a b\" c", {"/opt/my tools/bglc 9", "a b", "c"}},
      {"empty quotes", "a \"\" b", {"a", "", "b"}},
      {"quotes touching text", "x\"y z\"w", {"xy zw"}},
      {"two quoted parts touching", "\"a\"\"b\"", {"ab"}},
      {"unterminated quote runs to end", "a \"b c", {"a", "b c"}},
      {"backslash is ordinary", "C:\\tools\\x \\\"q", {"C:\\tools\\x", "\\q"}},
      {"other whitespace is not a blank", "a\nb\rc", {"a\nb\rc"}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::SplitCommandLine(row.line), row.expected);
  }
}

TEST(ToSystemCharsetTest, KeepsUtf8AndReplacesEveryOtherByte) {
  const struct {
    const char* name;
    std::string text;
    std::string expected;
  } cases[] = {
      {"ascii", "bglc_9 \"a b\"", "bglc_9 \"a b\""},
      {"two three four bytes", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x9b\xab", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x9b\xab"},
      {"edges of the ranges", "\xc2\x80\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xf4\x8f\xbf\xbf",
       "\xc2\x80\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xf4\x8f\xbf\xbf"},
      {"NUL kept", std::string("a\0b", 3), std::string("a\0b", 3)},
      {"stray continuation", "a\x80z", "a?z"},
      {"lead bytes never used", "\xc0\xc1\xf5\xff", "????"},
      {"overlong two bytes", "\xc1\xbf", "??"},
      {"overlong three bytes", "\xe0\x9f\xbf", "???"},
      {"surrogate", "\xed\xa0\x80", "???"},
      {"above U+10FFFF", "\xf4\x90\x80\x80", "????"},
      {"truncated at end", "ok\xe2\x82", "ok??"},
      {"truncated before ascii", "\xe2\x82x", "??x"},
      {"latin-1 text", "caf\xe9", "caf?"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::ToSystemCharset(row.text), row.expected);
  }
}

}  // namespace
