// The read reply comes from whichever program owns the link's window: any text, read with any type
// letter, must decode into its little-endian fields or be refused as malformed. The first input byte
// picks the letter.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "simlink/link_replies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  constexpr std::array<std::string_view, 12> kLetters = {"n", "N", "b", "e", "f", "d", "o", "p", "P", "x", "", "nb"};
  const std::string_view letter = kLetters[data[0] % kLetters.size()];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  simlink::ReadReply reply;
  try {
    reply = simlink::DecodeReadReply(text, letter);
  } catch (const simlink::MalformedReply&) {
    return 0;
  }
  if (reply.replyText != (text.size() > 8 ? text.substr(8) : std::string_view())) std::abort();
  const bool known = letter.size() == 1 && std::string_view("nNbBeEfFdDoOpP").find(letter) != std::string_view::npos;
  if (reply.value.has_value() != known) std::abort();
  // Bytes the reply does not reach count as 0.
  const std::size_t pairs = text.size() / 2;
  if (pairs < 4 && reply.leadWord >> (8 * pairs) != 0 && pairs > 0) std::abort();
  if (pairs == 0 && reply.leadWord != 0) std::abort();
  if (pairs <= 4 && reply.value && std::visit([](auto v) { return v != 0; }, *reply.value)) std::abort();
  return 0;
}
