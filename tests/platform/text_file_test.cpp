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
  for (int code = 0; code < 4096; ++code) {  // up to six base-4 digits, 1 to 3 for "a", CR, LF; a 0 ends the text
    std::string text;
    for (int rest = code; rest % 4 != 0; rest /= 4) text += "-a\r\n"[rest % 4];
    const auto all = SplitLines(text);
    for (const std::size_t count : {0U, 1U, 2U, 7U}) {
      const auto last = LastLines(text, count);
      const std::vector<std::string> expected(all.end() - static_cast<std::ptrdiff_t>(std::min(count, all.size())),
                                              all.end());
      EXPECT_EQ(std::vector<std::string>(last.begin(), last.end()), expected) << testing::PrintToString(text);
    }
  }
}

// The limit is the template catalogue's test, lines as a whole the settings file's.
TEST(TextFiles, TheFirstLineOnlyAlsoWhenLongerThanAPieceRead) {
  testing_support::TempFolder folder;
  const std::string path = (folder.Path() / "first").string();
  const std::string large(200000, 'x');
  const std::pair<std::string, std::optional<std::string>> firstLines[] = {
      {"", std::nullopt}, {"\r\n", ""}, {"one\rtwo", "one"}, {large + "\r\nsecond", large}};
  for (const auto& [content, expected] : firstLines) {
    folder.Write("first", content);
    EXPECT_TRUE(ReadFirstLine(path) == expected) << content.size();
  }
}

}  // namespace
}  // namespace platform
