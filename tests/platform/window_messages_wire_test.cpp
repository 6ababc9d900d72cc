#include "platform/window_messages_wire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "platform/window_messages.h"
#include "platform/window_messages_atoms.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

// bytes with the byte at index set to value; index size appends one.
Bytes Changed(Bytes bytes, std::size_t index, std::uint8_t value) {
  bytes.resize(std::max(bytes.size(), index + 1));
  bytes[index] = value;
  return bytes;
}

TEST(WindowMessageWire, RoundTripsAndRefusesAnythingButOneWholeFrame) {
  const wire::Request sent{wire::RequestKind::kSendMessage, 0xDEADBEEF, 0xE499, 10, 0xFFFFFFFF};
  const auto encoded = wire::EncodeRequest(sent);
  const Bytes request(encoded.begin(), encoded.end());
  const auto decoded = wire::DecodeRequest(request);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(std::tie(decoded->kind, decoded->window, decoded->message, decoded->wParam, decoded->lParam),
            std::tie(sent.kind, sent.window, sent.message, sent.wParam, sent.lParam));
  const std::string longest(wire::kMaxAnswerText, '\xFF');
  for (const wire::Answer& answer : {wire::Answer{true, -16384, longest}, wire::Answer{false, 0, ""}}) {
    const auto back = wire::DecodeAnswer(wire::EncodeAnswer(answer));
    ASSERT_TRUE(back);
    EXPECT_EQ(std::tie(back->handled, back->value, back->text), std::tie(answer.handled, answer.value, answer.text));
  }
  EXPECT_THROW(static_cast<void>(wire::EncodeAnswer({true, 0, longest + "x"})), std::length_error);

  // Cut short, one byte too many, a wrong tag, kind 0 or 5 or with high bits: no request.
  for (const auto& bytes : {Bytes(request.begin(), request.end() - 1), Changed(request, request.size(), 0),
                            Changed(request, 0, static_cast<std::uint8_t>(request[0] ^ 1)), Changed(request, 4, 0),
                            Changed(request, 4, 5), Changed(request, 7, 1), Bytes{}}) {
    EXPECT_FALSE(wire::DecodeRequest(bytes));
  }
  const Bytes abc = wire::EncodeAnswer({true, 1, "abc"});
  for (const auto& bytes :
       {Bytes(abc.begin(), abc.end() - 1), Changed(abc, abc.size(), 'd'), Changed(abc, 4, 2), Changed(abc, 15, 0x80),
        Changed(abc, 3, static_cast<std::uint8_t>(abc[3] ^ 0x40)), Bytes(abc.begin(), abc.begin() + 15)}) {
    EXPECT_FALSE(wire::DecodeAnswer(bytes));
  }
  // A request is never taken for an answer, nor the other way round.
  EXPECT_FALSE(wire::DecodeAnswer(request));
  EXPECT_FALSE(wire::DecodeRequest(wire::EncodeAnswer({true, 0, std::string(8, 'x')})));
}

TEST(RegisterWindowMessage, StableNumbersInTheRegisteredRange) {
  // Other processes, and other builds, must arrive at the same number.
  EXPECT_EQ(RegisterWindowMessage("WM_FSCONNECT"), 0xE499U);
  EXPECT_EQ(RegisterWindowMessage("wm_fsconnect"), 0xE499U);
  EXPECT_EQ(RegisterWindowMessage(""), 0U);
  for (const char* name : {"a", "WM_FSCONNECT2", "\xFF\xFE"}) {
    const auto number = RegisterWindowMessage(name);
    EXPECT_GE(number, 0xC000U) << name;
    EXPECT_NE(number, 0xE499U) << name;
  }
}

TEST(AtomTable, NumbersReferencesAndLimits) {
  AtomTable table;
  EXPECT_EQ(table.Add("first"), 0xC000);
  EXPECT_EQ(table.Add("FIRST"), 0xC000);  // the same atom, one reference more, first spelling kept
  EXPECT_TRUE(table.Delete(0xC000));
  EXPECT_EQ(table.Text(0xC000), "first");  // one reference left
  EXPECT_TRUE(table.Delete(0xC000));
  EXPECT_EQ(table.Text(0xC000), std::nullopt);
  EXPECT_FALSE(table.Delete(0xC000));
  EXPECT_EQ(table.Add(""), 0);
  EXPECT_EQ(table.Add(std::string(kMaxAtomLength + 1, 'x')), 0);

  for (int i = 0; i < 0x4000; ++i) ASSERT_EQ(table.Add("atom" + std::to_string(i)), 0xC000 + i) << i;
  EXPECT_EQ(table.Add("one too many"), 0);
  EXPECT_EQ(table.Add("atom5"), 0xC005);  // an existing text still gains a reference
  EXPECT_TRUE(table.Delete(0xD000));
  EXPECT_EQ(table.Add(std::string(kMaxAtomLength, 'x')), 0xD000);  // the lowest free number again
}

}  // namespace
}  // namespace platform
