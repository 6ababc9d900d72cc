// The window-message service reads requests and answers from any local peer: whatever bytes arrive
// must be refused or decode into a frame that encodes back to exactly those bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/window_messages_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  if (const auto request = platform::wire::DecodeRequest(bytes)) {
    const auto encoded = platform::wire::EncodeRequest(*request);
    if (!std::equal(encoded.begin(), encoded.end(), bytes.begin(), bytes.end())) std::abort();
  }
  if (const auto answer = platform::wire::DecodeAnswer(bytes)) {
    const auto encoded = platform::wire::EncodeAnswer(*answer);
    if (!std::equal(encoded.begin(), encoded.end(), bytes.begin(), bytes.end())) std::abort();
  }
  return 0;
}
