#include "simlink/link_replies.h"

#include <array>

#include "platform/window_messages.h"

namespace simlink {
namespace {

std::optional<std::uint8_t> HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  return std::nullopt;
}

// Quotes a piece of reply for a message, with anything unprintable shown as a dot.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) quoted += (c >= ' ' && c <= '~') ? c : '.';
  return quoted + "\"";
}

// An information reply's number field: up to 8 hexadecimal digits as the bits of a 32-bit number.
std::int32_t InfoNumber(std::string_view field, std::string_view name) {
  if (field.empty()) throw MalformedReply("the information reply has no " + std::string(name));
  std::uint32_t bits = 0;
  for (const char c : field) {
    const auto digit = HexDigit(c);
    if (!digit)
      throw MalformedReply("the information reply's " + std::string(name) + " " + Quoted(field) +
                           " is not a hexadecimal number");
    bits = (bits << 4) | *digit;
  }
  return static_cast<std::int32_t>(bits);
}

std::string_view Characters(std::string_view text, std::size_t from, std::size_t count) {
  return from >= text.size() ? std::string_view() : text.substr(from, count);
}

}  // namespace

MalformedReply::MalformedReply(const std::string& detail)
    : std::runtime_error("The simulator link (FSCONNECT8) sent a malformed reply: " + detail + ".") {}

void HexToBytes(std::string_view hexText, std::span<std::uint8_t> byteArray) {
  const std::size_t pairs = hexText.size() / 2;
  for (std::size_t i = 0; i < pairs; ++i) {
    if (i >= byteArray.size()) {
      throw MalformedReply("the reply holds " + std::to_string(pairs) + " bytes, more than the " +
                           std::to_string(byteArray.size()) + " it may");
    }
    const auto high = HexDigit(hexText[2 * i]);
    const auto low = HexDigit(hexText[2 * i + 1]);
    if (!high || !low) {
      throw MalformedReply("byte " + std::to_string(i + 1) + " of the reply, " + Quoted(hexText.substr(2 * i, 2)) +
                           ", is not a hexadecimal number");
    }
    byteArray[i] = static_cast<std::uint8_t>((*high << 4) | *low);
  }
}

InfoReply DecodeInfoReply(std::string_view text) {
  InfoReply reply;
  reply.infoHead = std::string(text.substr(0, 5));
  reply.infoNumber1 = InfoNumber(Characters(text, 5, 8), "first number");
  reply.infoNumber2 = InfoNumber(Characters(text, 13, 8), "second number");
  reply.infoTail = std::string(Characters(text, 21, std::string_view::npos));
  return reply;
}

ReadReply DecodeReadReply(std::string_view text, std::string_view typeLetter) {
  ReplyBytes bytes{};
  HexToBytes(text, bytes);
  const std::span<const std::uint8_t> all(bytes);
  ReadReply reply;
  reply.leadWord = platform::CopyLittleEndian<std::int32_t>(all.subspan<0, 4>());
  const std::string letter = platform::FoldAsciiCase(typeLetter);
  if (letter == "n" || letter == "b") {
    reply.value = platform::CopyLittleEndian<double>(all.subspan<4, 8>());
  } else if (letter == "e" || letter == "f" || letter == "d" || letter == "o" || letter == "p") {
    reply.value = platform::CopyLittleEndian<std::int32_t>(all.subspan<4, 4>());
  }
  reply.replyText = std::string(Characters(text, 8, std::string_view::npos));
  return reply;
}

}  // namespace simlink
