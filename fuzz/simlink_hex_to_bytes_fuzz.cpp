// Reply texts come from whichever program owns the link's window: any text must either fill exactly
// its pairs' bytes or be refused as malformed, never write past the buffer or touch the bytes beyond.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "simlink/link_replies.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  simlink::ReplyBytes bytes;
  bytes.fill(0xEE);
  try {
    simlink::HexToBytes(text, bytes);
  } catch (const simlink::MalformedReply&) {
    return 0;
  }
  const std::size_t pairs = text.size() / 2;
  if (pairs > bytes.size()) std::abort();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i >= pairs) {
      if (bytes[i] != 0xEE) std::abort();
      continue;
    }
    const int high = HexValue(text[2 * i]);
    const int low = HexValue(text[2 * i + 1]);
    if (high < 0 || low < 0 || bytes[i] != high * 16 + low) std::abort();
  }
  return 0;
}
