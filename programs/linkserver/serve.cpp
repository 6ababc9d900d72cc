#include "linkserver/serve.h"

#include <thread>

#include "linkserver/link_server_replies.h"
#include "platform/window_messages.h"

namespace linkserver {

void UseTestSettings(const Options& options) {
  if (!options.namespacePrefix.empty() || options.timeout) {
    platform::SetWindowMessagesForTesting(options.namespacePrefix,
                                          options.timeout.value_or(platform::kWindowMessageTimeout));
  }
}

std::optional<std::int32_t> Answer(const Options& options, std::uint32_t request, std::int32_t argument,
                                   const std::function<std::uint16_t(const std::string&)>& addAtom) {
  std::this_thread::sleep_for(options.delay);
  switch (options.behaviour) {
    case Behaviour::kFixedAnswer:
      Say("request %u (%d) answered with %d\n", request, argument, options.fixedAnswer);
      return options.fixedAnswer;
    case Behaviour::kNeverAnswer: Say("request %u (%d) left unanswered\n", request, argument); return std::nullopt;
    case Behaviour::kReply:
    case Behaviour::kReplyText: break;
  }
  const auto reply = ReplyFor(options, request, argument);
  const std::uint16_t atom = reply ? addAtom(*reply) : 0;
  if (atom == 0) {
    Say("request %u (%d) answered with 0: no reply\n", request, argument);
    return 0;
  }
  Say("request %u (%d) answered with atom %04X: %s\n", request, argument, atom, reply->c_str());
  // String atoms go out sign-extended, as a 16-bit result does.
  return static_cast<std::int16_t>(atom);
}

}  // namespace linkserver
