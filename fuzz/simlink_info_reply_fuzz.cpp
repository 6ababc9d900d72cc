// The information reply comes from whichever program owns the link's window: any text must decode
// into its fixed fields or be refused as malformed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "simlink/link_replies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  simlink::InfoReply reply;
  try {
    reply = simlink::DecodeInfoReply(text);
  } catch (const simlink::MalformedReply&) {
    // Only a text reaching into the second number can decode at all.
    return 0;
  }
  if (text.size() < 14) std::abort();
  if (reply.infoHead != text.substr(0, 5)) std::abort();
  if (reply.infoTail != (text.size() > 21 ? text.substr(21) : std::string_view())) std::abort();
  // Only a full 8-digit field with a high first digit is negative.
  if (reply.infoNumber2 < 0 && (text.size() < 21 || text[13] < '8')) std::abort();
  if (reply.infoNumber1 < 0 && text[5] < '8') std::abort();
  return 0;
}
