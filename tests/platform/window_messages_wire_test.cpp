#include "platform/window_messages_wire.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/window_messages.h"
#include "platform/window_messages_atoms.h"

namespace platform {
namespace {

TEST(WindowMessageWire, RequestsAndAnswersRoundTrip) {
  const wire::Request request{wire::RequestKind::kSendMessage, 0xDEADBEEF, 0xE499, 10, 0xFFFFFFFF};
  const auto bytes = wire::EncodeRequest(request);
  const auto decoded = wire::DecodeRequest(bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->kind, request.kind);
  EXPECT_EQ(decoded->window, request.window);
  EXPECT_EQ(decoded->message, request.message);
  EXPECT_EQ(decoded->wParam, request.wParam);
  EXPECT_EQ(decoded->lParam, request.lParam);

  for (const wire::Answer& answer : {wire::Answer{true, -16384, ""}, wire::Answer{false, 0, ""},
                                     wire::Answer{true, 7, std::string(wire::kMaxAnswerText, '\xFF')}}) {
    const auto decodedAnswer = wire::DecodeAnswer(wire::EncodeAnswer(answer));
    ASSERT_TRUE(decodedAnswer);
    EXPECT_EQ(decodedAnswer->handled, answer.handled);
    EXPECT_EQ(decodedAnswer->value, answer.value);
    EXPECT_EQ(decodedAnswer->text, answer.text);
  }
  EXPECT_THROW(static_cast<void>(wire::EncodeAnswer({true, 0, std::string(wire::kMaxAnswerText + 1, 'x')})),
               std::length_error);
}

TEST(WindowMessageWire, RefusesAnythingButOneWholeFrame) {
  const auto good = wire::EncodeRequest({wire::RequestKind::kFindWindow, 0, 0, 0, 0});
  const std::vector<std::uint8_t> request(good.begin(), good.end());
  auto shortened = request;
  shortened.pop_back();
  auto longer = request;
  longer.push_back(0);
  auto badTag = request;
  badTag[0] ^= 1;
  auto kindZero = request;
  kindZero[4] = 0;
  auto kindFive = request;
  kindFive[4] = 5;
  auto kindHigh = request;
  kindHigh[7] = 1;
  for (const auto& bytes : {shortened, longer, badTag, kindZero, kindFive, kindHigh, std::vector<std::uint8_t>{}}) {
    EXPECT_FALSE(wire::DecodeRequest(bytes));
  }

  const auto answer = wire::EncodeAnswer({true, 1, "abc"});
  auto truncated = answer;
  truncated.pop_back();
  auto trailing = answer;
  trailing.push_back('d');
  auto handledTwo = answer;
  handledTwo[4] = 2;
  auto lengthHuge = answer;
  lengthHuge[15] = 0x80;
  auto answerTag = answer;
  answerTag[3] ^= 0x40;
  for (const auto& bytes : {truncated, trailing, handledTwo, lengthHuge, answerTag,
                            std::vector<std::uint8_t>(answer.begin(), answer.begin() + 15)}) {
    EXPECT_FALSE(wire::DecodeAnswer(bytes));
  }
  // A request is never taken for an answer, nor the other way round.
  EXPECT_FALSE(wire::DecodeAnswer(request));
  EXPECT_FALSE(wire::DecodeRequest(wire::EncodeAnswer({true, 0, std::string(8, 'x')})));
}

TEST(CopyLittleEndian, LeastSignificantByteFirst) {
  const std::array<std::uint8_t, 4> word{0x01, 0x00, 0x00, 0x80};
  EXPECT_EQ(CopyLittleEndian<std::int32_t>(word), -2147483647);
  EXPECT_EQ(CopyLittleEndian<std::uint32_t>(word), 0x80000001U);
  const std::array<std::uint8_t, 8> ninety{0, 0, 0, 0, 0, 0x80, 0x56, 0x40};
  EXPECT_EQ(CopyLittleEndian<double>(ninety), 90.0);
}

TEST(RegisterWindowMessage, StableNumbersInTheRegisteredRange) {
  // Other processes, and other builds, must arrive at the same number.
  EXPECT_EQ(RegisterWindowMessage("WM_FSCONNECT"), 0xE499U);
  EXPECT_EQ(RegisterWindowMessage("wm_fsconnect"), 0xE499U);
  EXPECT_EQ(RegisterWindowMessage(""), 0U);
  for (const char* name : {"a", "WM_FSCONNECT2", "ParkmarqMessage", "\xFF\xFE"}) {
    SCOPED_TRACE(name);
    const auto number = RegisterWindowMessage(name);
    EXPECT_GE(number, 0xC000U);
    EXPECT_LE(number, 0xFFFFU);
    EXPECT_NE(number, 0xE499U);
  }
}

TEST(AtomTable, NumbersReferencesAndLimits) {
  AtomTable table;
  EXPECT_EQ(table.Add("first"), 0xC000);
  EXPECT_EQ(table.Add("second"), 0xC001);
  EXPECT_EQ(table.Add("FIRST"), 0xC000);  // the same atom, one reference more, first spelling kept
  EXPECT_EQ(table.Text(0xC000), "first");
  EXPECT_EQ(table.Size(), 2U);

  EXPECT_TRUE(table.Delete(0xC000));
  EXPECT_EQ(table.Text(0xC000), "first");  // one reference left
  EXPECT_TRUE(table.Delete(0xC000));
  EXPECT_EQ(table.Text(0xC000), std::nullopt);
  EXPECT_FALSE(table.Delete(0xC000));
  EXPECT_FALSE(table.Delete(0x1234));
  EXPECT_EQ(table.Add("third"), 0xC000);  // the lowest free number again

  EXPECT_EQ(table.Add(""), 0);
  EXPECT_EQ(table.Add(std::string(kMaxAtomLength + 1, 'x')), 0);
  EXPECT_EQ(table.Add(std::string(kMaxAtomLength, 'x')), 0xC002);
}

TEST(AtomTable, FullTableRefusesMore) {
  AtomTable table;
  for (int i = 0; i < 0x4000; ++i) ASSERT_NE(table.Add("atom" + std::to_string(i)), 0) << i;
  EXPECT_EQ(table.Size(), 0x4000U);
  EXPECT_EQ(table.Text(0xFFFF), "atom16383");
  EXPECT_EQ(table.Add("one too many"), 0);
  EXPECT_EQ(table.Add("atom5"), 0xC005);  // an existing text still gains a reference
  EXPECT_TRUE(table.Delete(0xD000));
  EXPECT_EQ(table.Add("one too many"), 0xD000);
}

}  // namespace
}  // namespace platform
