#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/process_posix.h"

namespace {

// Quoted arguments with blanks, empty quotes and quotes inside a word, and the charset form, are checked end to
// end by the runner's tests.
TEST(SplitCommandLineTest, BlanksSeparateAndQuotesKeepTogether) {
  const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {
      {"blanks only", " \t  ", {}},
      {"runs of blanks and tabs", "  a \t b  c ", {"a", "b", "c"}},
      {"quoted path with blanks", "\"/opt/my tools/bglc 9\" c", {"/opt/my tools/bglc 9", "c"}},
      {"unterminated quote runs to end", "a \"b c", {"a", "b c"}},
      {"backslash is ordinary", "C:\\tools\\x \\\"q", {"C:\\tools\\x", "\\q"}},
      {"other whitespace is not a blank", "a\nb\rc", {"a\nb\rc"}},
  };
  for (const auto& [name, line, expected] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(platform::SplitCommandLine(line), expected);
  }
}

}  // namespace
