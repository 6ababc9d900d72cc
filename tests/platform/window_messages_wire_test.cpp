#include "platform/window_messages_wire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "platform/window_messages.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

// bytes with the byte at index set to value; index size appends one.
Bytes Changed(Bytes bytes, std::size_t index, std::uint8_t value) {
  bytes.resize(std::max(bytes.size(), index + 1));
  bytes[index] = value;
  return bytes;
}

// Requests travel end to end in the link client's tests, and garbage and over-long answers from hostile peers too.
TEST(WindowMessageWire, AnswersRoundTripAndOnlyOneWholeFrameDecodes) {
  const std::string longest(wire::kMaxAnswerText, '\xFF');
  for (const wire::Answer& answer : {wire::Answer{true, -16384, longest}, wire::Answer{false, 0, ""}}) {
    const auto back = wire::DecodeAnswer(wire::EncodeAnswer(answer));
    ASSERT_TRUE(back);
    EXPECT_EQ(std::tie(back->handled, back->value, back->text), std::tie(answer.handled, answer.value, answer.text));
  }
  EXPECT_THROW(static_cast<void>(wire::EncodeAnswer({true, 0, longest + "x"})), std::length_error);
  // Cut short, one byte too many, a text length beyond the frame or with a high bit, a wrong tag, a request.
  const Bytes abc = wire::EncodeAnswer({true, 1, "abc"});
  const auto request = wire::EncodeRequest({wire::RequestKind::kFindWindow, 0, 0, 0, 0});
  for (const auto& bytes :
       {Bytes(abc.begin(), abc.end() - 1), Changed(abc, abc.size(), 'd'), Changed(abc, 4, 2), Changed(abc, 15, 0x80),
        Changed(abc, 3, static_cast<std::uint8_t>(abc[3] ^ 0x40)), Bytes(request.begin(), request.end())}) {
    EXPECT_FALSE(wire::DecodeAnswer(bytes));
  }
}

}  // namespace
}  // namespace platform
