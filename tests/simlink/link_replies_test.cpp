#include "simlink/link_replies.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace simlink {
namespace {

TEST(DecodeInfoReply, FieldsByPosition) {
  struct Row {
    const char* name;
    std::string text;
    std::string head;
    std::int32_t number1;
    std::int32_t number2;
    std::string tail;
  };
  const std::vector<Row> rows = {
      {"25 characters", "HEAD!0000000AFFFFFFFFtail", "HEAD!", 10, -1, "tail"},
      {"exactly 21, no tail", "ABCDE7FFFFFFF80000000", "ABCDE", 0x7FFFFFFF, -2147483647 - 1, ""},
      {"lower-case digits", "abcdeffffffff0000001fxyz", "abcde", -1, 31, "xyz"},
      {"second number short", "HEAD!00000001FF", "HEAD!", 1, 255, ""},
      {"short number is never negative", "HEAD!00000001FFFFFFF", "HEAD!", 1, 0x0FFFFFFF, ""},
      {"blanks in the head and tail stay", "  A  0000000000000000  tail  ", "  A  ", 0, 0, "  tail  "},
      {"tail of the longest reply", "HEAD!0000000000000000" + std::string(233, 'x'), "HEAD!", 0, 0,
       std::string(233, 'x')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const InfoReply reply = DecodeInfoReply(row.text);
    EXPECT_EQ(reply.infoHead, row.head);
    EXPECT_EQ(reply.infoNumber1, row.number1);
    EXPECT_EQ(reply.infoNumber2, row.number2);
    EXPECT_EQ(reply.infoTail, row.tail);
  }
}

TEST(DecodeInfoReply, MalformedNumbersThrow) {
  const std::vector<std::string> texts = {
      "",                        // the fetch failed: no number at all
      "HEAD!",                   // no first number
      "HEAD!0000000A",           // no second number
      "HEAD!0000000G00000000",   // G is no hexadecimal digit
      "HEAD!0000000A -1234567",  // sign and blank are not digits either
      "HEAD!+000000A00000000",
      "HEAD!0x00000A00000000",
  };
  for (const auto& text : texts) {
    SCOPED_TRACE(text);
    try {
      static_cast<void>(DecodeInfoReply(text));
      ADD_FAILURE() << "no exception";
    } catch (const MalformedReply& error) {
      EXPECT_NE(std::string(error.what()).find("simulator link"), std::string::npos) << error.what();
    }
  }
}

TEST(DecodeReadReply, BytesLittleEndianAndTypeLetters) {
  const std::string ninety = "010000000000000000805640";  // leadWord 1, then the double 90
  struct Row {
    const char* name;
    std::string text;
    std::string letter;
    std::int32_t leadWord;
    std::optional<VariableValue> value;
    std::string replyText;
  };
  const std::vector<Row> rows = {
      {"double with n", ninety, "n", 1, VariableValue(90.0), "0000000000805640"},
      {"upper-case N", ninety, "N", 1, VariableValue(90.0), "0000000000805640"},
      {"double with b", ninety, "B", 1, VariableValue(90.0), "0000000000805640"},
      {"integer with e", "FFFFFFFF2A000000", "e", -1, VariableValue(std::int32_t{42}), "2A000000"},
      {"integer with f", "0000000000000080", "f", 0, VariableValue(std::int32_t{-2147483647 - 1}), "00000080"},
      {"integer with d", "00000000D2040000FFFF", "d", 0, VariableValue(std::int32_t{1234}), "D2040000FFFF"},
      {"integer with o", "000000000100", "O", 0, VariableValue(std::int32_t{1}), "0100"},
      {"integer with p", "00000000FFFFFF7F", "p", 0, VariableValue(std::int32_t{0x7FFFFFFF}), "FFFFFF7F"},
      {"unknown letter", ninety, "x", 1, std::nullopt, "0000000000805640"},
      {"letters compare as a whole", ninety, "nn", 1, std::nullopt, "0000000000805640"},
      {"empty letter", ninety, "", 1, std::nullopt, "0000000000805640"},
      {"8 characters: value 0", "01000000", "n", 1, VariableValue(0.0), ""},
      {"empty reply: all 0", "", "n", 0, VariableValue(0.0), ""},
      {"empty reply, integer", "", "e", 0, VariableValue(std::int32_t{0}), ""},
      {"double cut short: missing bytes are 0", "00000000000000000000F0", "n", 0,
       VariableValue(std::bit_cast<double>(std::uint64_t{0x00F0000000000000})), "000000000000F0"},
      {"odd last character ignored", "0200000000000000000059402", "n", 2, VariableValue(100.0), "00000000000059402"},
      {"a single character", "7", "n", 0, VariableValue(0.0), ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ReadReply reply = DecodeReadReply(row.text, row.letter);
    EXPECT_EQ(reply.leadWord, row.leadWord);
    EXPECT_EQ(reply.value, row.value);
    EXPECT_EQ(reply.replyText, row.replyText);
  }
}

TEST(DecodeReadReply, MalformedPairsThrow) {
  for (const std::string text : {"0100000G", "01 00000", "0100000000000000008056-0", "zz"}) {
    SCOPED_TRACE(text);
    EXPECT_THROW(static_cast<void>(DecodeReadReply(text, "n")), MalformedReply);
  }
  // Past the last whole pair nothing is read, so an odd stray character is not an error.
  EXPECT_NO_THROW(static_cast<void>(DecodeReadReply("01000000z", "n")));
}

TEST(HexToBytes, FillsFromTheFirstElementAndLeavesTheRest) {
  std::vector<std::uint8_t> bytes(6, 0xEE);
  HexToBytes("00ff7Fa", bytes);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x00, 0xFF, 0x7F, 0xEE, 0xEE, 0xEE}));

  std::vector<std::uint8_t> untouched(2, 0x11);
  HexToBytes("", untouched);
  HexToBytes("A", untouched);
  EXPECT_EQ(untouched, (std::vector<std::uint8_t>{0x11, 0x11}));
}

TEST(HexToBytes, RefusesMorePairsThanTheArrayHoldsAfterFillingIt) {
  std::vector<std::uint8_t> bytes(2, 0);
  EXPECT_THROW(HexToBytes("010203", bytes), MalformedReply);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2}));
  ReplyBytes full{};
  EXPECT_NO_THROW(HexToBytes(std::string(2 * kReplyByteCount, 'f'), full));
  EXPECT_EQ(full.back(), 0xFF);
  EXPECT_THROW(HexToBytes(std::string(2 * kReplyByteCount + 2, 'f'), full), MalformedReply);
}

}  // namespace
}  // namespace simlink
