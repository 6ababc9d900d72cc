// The link client's decoders and the heading text, without a server; the hexadecimal pairs are the fuzz corpus's.
#include "simlink/link_replies.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "simlink/heading_button.h"

namespace simlink {
namespace {

TEST(DecodeInfoReply, FieldsByPositionAndMalformedNumbers) {
  using Row = std::tuple<std::string, std::string, std::int32_t, std::int32_t, std::string>;
  for (const auto& [text, head, number1, number2, tail] :
       std::vector<Row>{{"HEAD!0000000AFFFFFFFFtail", "HEAD!", 10, -1, "tail"},
                        {"ABCDE7FFFFFFF80000000", "ABCDE", 0x7FFFFFFF, -2147483647 - 1, ""},
                        {"HEAD!00000001FFFFFFF", "HEAD!", 1, 0x0FFFFFFF, ""}}) {
    const InfoReply reply = DecodeInfoReply(text);
    EXPECT_EQ(std::tie(reply.infoHead, reply.infoNumber1, reply.infoNumber2, reply.infoTail),
              std::tie(head, number1, number2, tail))
        << text;
  }
  for (const char* text : {"", "HEAD!0000000A", "HEAD!0000000G00000000", "HEAD!0000000A -1234567"}) {
    EXPECT_THROW(static_cast<void>(DecodeInfoReply(text)), MalformedReply) << text;
  }
}

TEST(DecodeReadReply, BytesLittleEndianTypeLettersAndShortReplies) {
  const std::string ninety = "010000000000000000805640";  // leadWord 1, then the double 90
  using Row = std::tuple<std::string, std::string, std::int32_t, std::optional<VariableValue>, std::string>;
  for (const auto& [text, letter, leadWord, value, replyText] :
       std::vector<Row>{{ninety, "n", 1, VariableValue(90.0), "0000000000805640"},
                        {ninety, "B", 1, VariableValue(90.0), "0000000000805640"},
                        {"FFFFFFFF2A000000", "E", -1, VariableValue(std::int32_t{42}), "2A000000"},
                        {"0000000000000080", "p", 0, VariableValue(INT32_MIN), "00000080"},
                        {ninety, "x", 1, std::nullopt, "0000000000805640"},
                        {"01000000", "n", 1, VariableValue(0.0), ""},
                        {"0200000000000000000059402", "n", 2, VariableValue(100.0), "00000000000059402"}}) {
    const ReadReply reply = DecodeReadReply(text, letter);
    EXPECT_EQ(std::tie(reply.leadWord, reply.value, reply.replyText), std::tie(leadWord, value, replyText))
        << text << " as " << letter;
  }
  for (const char* text : {"0100000G", "0100000000000000008056-0"}) {
    EXPECT_THROW(static_cast<void>(DecodeReadReply(text, "n")), MalformedReply) << text;
  }
}

TEST(HeadingText, RoundsHalfEvenToThreeDecimals) {
  const std::pair<float, const char*> cases[] = {
      {270.0F, " 270"}, {12.3456F, " 12.346"}, {12.0625F, " 12.062"}, {12.1875F, " 12.188"}, {0.0F, " 0"},
      {-0.0004F, " 0"}, {-5.25F, "-5.25"},     {0.5F, " 0.5"},        {-0.25F, "-0.25"},     {359.9996F, " 360"}};
  for (const auto& [heading, text] : cases) EXPECT_EQ(HeadingText(heading), text) << heading;
  EXPECT_THROW(static_cast<void>(HeadingText(std::numeric_limits<float>::quiet_NaN())), std::domain_error);
}

}  // namespace
}  // namespace simlink
