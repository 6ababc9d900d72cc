#include "linkserver/link_server_replies.h"

#include <bit>
#include <cstdio>

namespace linkserver {
namespace {

// value's bytes, least significant first, two upper-case hexadecimal digits each.
std::string LittleEndianHex(std::uint64_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>((value >> (8 * i)) & 0xFF));
    text += pair;
  }
  return text;
}

std::string HexField(std::uint32_t value) {
  char field[9];
  std::snprintf(field, sizeof field, "%08X", value);
  return field;
}

}  // namespace

std::string InformationReply(const Options& options) {
  constexpr std::uint32_t kProtocolVersion = 1;
  return "PMQLS" + HexField(kProtocolVersion) + HexField(static_cast<std::uint32_t>(options.variables.size())) +
         "parkmarq link server";
}

std::string ReadVariableReply(std::int32_t variable, double value) {
  return LittleEndianHex(static_cast<std::uint32_t>(variable), 4) +
         LittleEndianHex(std::bit_cast<std::uint64_t>(value), 8);
}

std::optional<std::string> ReplyFor(const Options& options, std::uint32_t request, std::int32_t argument) {
  if (options.behaviour == Behaviour::kReplyText) return options.replyText;
  if (request == kInformationRequest) return InformationReply(options);
  if (request == kReadVariableRequest) {
    const auto it = options.variables.find(argument);
    return ReadVariableReply(argument, it == options.variables.end() ? 0.0 : it->second);
  }
  return std::nullopt;
}

}  // namespace linkserver
