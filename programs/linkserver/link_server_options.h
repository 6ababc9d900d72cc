#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace linkserver {

// How the server answers requests: properly, or in one of the ways tests need a server to misbehave.
enum class Behaviour {
  kReply,        // a reply atom per request, following the protocol
  kFixedAnswer,  // the number fixedAnswer instead of an atom
  kNeverAnswer,  // leaves every sender waiting
  kReplyText,    // replyText, whatever the request, as the reply atom's text
};

struct Options {
  std::map<std::int32_t, double> variables;  // unset variables read as 0
  Behaviour behaviour = Behaviour::kReply;
  std::int32_t fixedAnswer = 0;
  std::string replyText;
  std::chrono::milliseconds delay{0};                // how long each message's handler takes
  std::string namespacePrefix;                       // tests only: keeps servers running side by side apart
  std::optional<std::chrono::milliseconds> timeout;  // tests only: instead of the usual time-out
  bool help = false;
};

// Reads the command line without the program name. Throws std::invalid_argument with a message for
// the user when an option is unknown, lacks its value, has a malformed value, or when more than one
// way of misbehaving is chosen.
[[nodiscard]] Options ParseOptions(std::span<const std::string_view> arguments);

// The text --help prints.
[[nodiscard]] std::string UsageText();

}  // namespace linkserver
