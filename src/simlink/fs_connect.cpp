#include "simlink/fs_connect.h"

#include <array>
#include <chrono>
#include <limits>

namespace simlink {

bool FSConnect::fscIsConnected(platform::Deadline deadline) {
  message_ = platform::RegisterWindowMessageA(kMessageName);
  serverWindow_ = platform::FindWindowA(kServerClass, deadline);
  return message_ != 0 && serverWindow_ != 0;
}

std::int16_t FSConnect::Exchange(std::uint32_t requestCode, std::int32_t argument, std::string& reply,
                                 platform::Deadline deadline) {
  if (!fscIsConnected(deadline)) return kNoServer;
  const std::int32_t answer = platform::SendMessageTimeoutA(serverWindow_, message_, requestCode, argument, deadline);
  if (answer < std::numeric_limits<std::int16_t>::min() || answer > std::numeric_limits<std::int16_t>::max()) {
    throw MalformedReply("the answer " + std::to_string(answer) + " lies outside -32768..32767");
  }
  if (answer == 0) return kNoServer;
  if (answer > 0) return static_cast<std::int16_t>(answer);
  // String atoms arrive sign-extended; their number is the low 16 bits.
  const auto atom = static_cast<std::uint16_t>(answer & 0xFFFF);
  std::array<char, platform::kMaxAtomLength> buffer{};
  const std::size_t kept = platform::GlobalGetAtomNameA(atom, buffer, deadline);
  platform::GlobalDeleteAtom(atom, deadline);
  // A text that did not come in time is a server that did not answer, not an empty reply.
  if (kept == 0 && std::chrono::steady_clock::now() >= deadline) return kNoServer;
  reply.assign(buffer.data(), kept);
  return kReplyDecoded;
}

std::int16_t FSConnect::fscGetInfo(std::string& infoHead, std::string& infoTail, std::int32_t& infoNumber1,
                                   std::int32_t& infoNumber2, platform::Deadline deadline) {
  std::string reply;
  const std::int16_t result = Exchange(kInfoRequest, 0, reply, deadline);
  if (result != kReplyDecoded) return result;
  InfoReply decoded = DecodeInfoReply(reply);
  infoHead = std::move(decoded.infoHead);
  infoTail = std::move(decoded.infoTail);
  infoNumber1 = decoded.infoNumber1;
  infoNumber2 = decoded.infoNumber2;
  return kReplyDecoded;
}

namespace detail {

void ThrowDoesNotFit(double number) {
  throw std::overflow_error("The simulator link (FSCONNECT8) sent the value " + std::to_string(number) +
                            ", which does not fit the variable it is read into.");
}

}  // namespace detail

}  // namespace simlink
