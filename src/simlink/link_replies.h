#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace simlink {

// The link server's answer or reply text breaks the link protocol. The message names the link, so the
// window's report tells the user where the fault lies.
class MalformedReply : public std::runtime_error {
 public:
  explicit MalformedReply(const std::string& detail);
};

// The read reply's byte buffer: 255 bytes, of which a reply of at most 254 characters fills 127.
inline constexpr std::size_t kReplyByteCount = 255;
using ReplyBytes = std::array<std::uint8_t, kReplyByteCount>;

// Reads hexText two characters at a time (either case) into byteArray: the k-th pair, characters
// 2k-1 and 2k counted from 1, lands in byteArray[k - 1]. A last odd character is ignored and elements
// beyond the pairs are not touched. Throws MalformedReply when a pair is not two hexadecimal digits or
// there are more pairs than byteArray holds; the elements before the faulty pair are already written.
void HexToBytes(std::string_view hexText, std::span<std::uint8_t> byteArray);

// The information reply (request 10): characters 1-5 text, 6-13 and 14-21 hexadecimal numbers, the
// rest text.
struct InfoReply {
  std::string infoHead;
  std::string infoTail;
  std::int32_t infoNumber1 = 0;
  std::int32_t infoNumber2 = 0;
};

// Decodes an information reply. A shorter text gives what it holds: a number field with fewer than 8
// digits is the value of the digits present (so only a full 8-digit field can be negative), the head
// takes up to 5 characters and the tail is empty before character 22. Throws MalformedReply when a
// number field is empty or holds anything but hexadecimal digits.
[[nodiscard]] InfoReply DecodeInfoReply(std::string_view text);

// A decoded variable: a double for the letters "n" and "b", a signed 32-bit integer for "e", "f", "d",
// "o" and "p".
using VariableValue = std::variant<double, std::int32_t>;

struct ReadReply {
  std::int32_t leadWord = 0;
  std::optional<VariableValue> value;  // empty for a type letter outside the table
  std::string replyText;               // the reply from its 9th character on
};

// Decodes a read reply (request 1): a little-endian byte dump; bytes the text does not reach are 0.
// typeLetter is compared as a whole text, ASCII letters in either case alike. Throws MalformedReply
// when a byte pair is not hexadecimal.
[[nodiscard]] ReadReply DecodeReadReply(std::string_view text, std::string_view typeLetter);

}  // namespace simlink
