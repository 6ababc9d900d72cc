#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "helpers/process_probe.h"
#include "platform/charset.h"
#include "platform/process.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(SplitCommandLineTest, BlanksSeparateAndQuotesKeepTogether) {
  const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {
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
  for (const auto& [name, line, expected] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(platform::SplitCommandLine(line), expected);
  }
}

TEST(FindProgramTest, TakesPathsAsTheyAreAndSearchesPathOtherwise) {
  const testing_support::TempFolder folder;
  const std::string tool = (folder.Path() / "tool").string();
  fs::create_directories(folder.Path() / "sub");
  fs::copy_file(test_helpers::RunnerChildPath(), tool);
  fs::copy_file(test_helpers::RunnerChildPath(), folder.Path() / "sub" / "here");
  const std::string plain = folder.Write("plain", "data\n").string();  // not executable
  const std::string oldPath = std::getenv("PATH");
  setenv("PATH", ("/no/such/folder::" + folder.Str()).c_str(), 1);
  const fs::path cwd = fs::current_path();
  fs::current_path(folder.Path() / "sub");
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"absolute path", tool, tool},
      {"relative path", "../tool", "../tool"},
      {"a slash means no search", "./tool", ""},
      {"found on PATH", "tool", tool},
      {"an empty entry is the current directory", "here", "./here"},
      {"not executable", plain, ""},
      {"not executable on PATH", "plain", ""},
      {"a folder", (folder.Path() / "sub").string(), ""},
      {"a folder on PATH", "sub", ""},
      {"missing", "parkmarq-no-such-program", ""},
      {"empty", "", ""},
  };
  for (const auto& [name, program, expected] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(platform::FindProgram(program), expected);
  }
  fs::current_path(cwd);
  setenv("PATH", oldPath.c_str(), 1);
}

TEST(ToSystemCharsetTest, KeepsUtf8AndReplacesEveryOtherByte) {
  const std::tuple<const char*, std::string, std::string> cases[] = {
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
  };
  for (const auto& [name, text, expected] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(platform::ToSystemCharset(text), expected);
  }
}

}  // namespace
