#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "linkserver/link_server_options.h"

namespace linkserver {

// The link protocol as the server sees it.
inline constexpr std::string_view kWindowClass = "FSCONNECT8";
inline constexpr std::string_view kMessageName = "WM_FSCONNECT";
inline constexpr std::uint32_t kInformationRequest = 10;
inline constexpr std::uint32_t kReadVariableRequest = 1;

// The information reply: "PMQLS", the protocol version (1) and the number of variables set, each as 8
// hexadecimal digits, and the server's name.
[[nodiscard]] std::string InformationReply(const Options& options);

// The read reply for a variable: 12 bytes as 24 upper-case hexadecimal digits, little-endian: the
// variable number, then its value as a double.
[[nodiscard]] std::string ReadVariableReply(std::int32_t variable, double value);

// The reply text for a request under the options' behaviour; nullopt for a request code the protocol
// does not know. Only meaningful for the behaviours that send a reply atom.
[[nodiscard]] std::optional<std::string> ReplyFor(const Options& options, std::uint32_t request, std::int32_t argument);

}  // namespace linkserver
