#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "support/temp_folder.h"

namespace platform {
namespace {

// Every text of up to six bytes from "a", CR and LF: the last lines found from the end are the last of
// all the lines, whatever ends them.
TEST(TextLines, TheLastLinesFoundFromTheEndAreTheLastOfAllLines) {
  const char alphabet[] = {'a', '\r', '\n'};
  for (int length = 0; length <= 6; ++length) {
    int texts = 1;
    for (int i = 0; i < length; ++i) texts *= 3;
    for (int code = 0; code < texts; ++code) {
      std::string text;
      for (int i = 0, rest = code; i < length; ++i, rest /= 3) text += alphabet[rest % 3];
      const auto all = SplitLines(text);
      for (const std::size_t count : {0U, 1U, 2U, 7U}) {
        const auto last = LastLines(text, count);
        const std::vector<std::string> expected(all.end() - static_cast<std::ptrdiff_t>(std::min(count, all.size())),
                                                all.end());
        EXPECT_EQ(std::vector<std::string>(last.begin(), last.end()), expected) << testing::PrintToString(text);
      }
    }
  }
}

TEST(TextFiles, ReadUpToALimitAndTheFirstLineOnly) {
  testing_support::TempFolder folder;
  const auto path = [&](const char* name) { return (folder.Path() / name).string(); };
  folder.Write("four", "ab\r\n");
  EXPECT_EQ(ReadFileBytesUpTo(path("four"), 4), "ab\r\n");
  EXPECT_EQ(ReadFileBytesUpTo(path("four"), 3), std::nullopt);
  const std::string large(200000, 'x');
  folder.Write("large", large);
  EXPECT_EQ(ReadFileBytesUpTo(path("large"), large.size()), large);
  EXPECT_EQ(ReadFileBytesUpTo(path("large"), large.size() - 1), std::nullopt);
  EXPECT_THROW((void)ReadFileBytesUpTo(path("missing"), 10), std::system_error);

  const std::pair<const char*, std::optional<std::string>> firstLines[] = {
      {"", std::nullopt}, {"\r\n", ""}, {"one", "one"}, {"one\rtwo", "one"}, {"one\ntwo\n", "one"}};
  for (const auto& [content, expected] : firstLines) {
    folder.Write("first", content);
    EXPECT_EQ(ReadFirstLine(path("first")), expected) << testing::PrintToString(std::string(content));
  }
  folder.Write("first", large + "\r\nsecond");  // a first line longer than one piece read
  EXPECT_EQ(ReadFirstLine(path("first")), large);
}

}  // namespace
}  // namespace platform
