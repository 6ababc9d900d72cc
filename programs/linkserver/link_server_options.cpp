#include "linkserver/link_server_options.h"

#include <charconv>
#include <stdexcept>

namespace linkserver {
namespace {

template <typename Number>
Number ParseWhole(std::string_view text, std::string_view what) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw std::invalid_argument("\"" + std::string(text) + "\" is not a valid " + std::string(what));
  }
  return value;
}

void SetBehaviour(Options& options, Behaviour behaviour) {
  if (options.behaviour != Behaviour::kReply) {
    throw std::invalid_argument("choose only one of --answer, --hang and --reply");
  }
  options.behaviour = behaviour;
}

}  // namespace

Options ParseOptions(std::span<const std::string_view> arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view option = arguments[i];
    const auto value = [&]() -> std::string_view {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(std::string(option) + " needs a value");
      return arguments[++i];
    };
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "--var") {
      const std::string_view assignment = value();
      const auto equals = assignment.find('=');
      if (equals == std::string_view::npos) {
        throw std::invalid_argument("--var takes NUMBER=VALUE, not \"" + std::string(assignment) + "\"");
      }
      const auto number = ParseWhole<std::int32_t>(assignment.substr(0, equals), "variable number");
      options.variables[number] = ParseWhole<double>(assignment.substr(equals + 1), "variable value");
    } else if (option == "--answer") {
      SetBehaviour(options, Behaviour::kFixedAnswer);
      options.fixedAnswer = ParseWhole<std::int32_t>(value(), "answer");
    } else if (option == "--hang") {
      SetBehaviour(options, Behaviour::kNeverAnswer);
    } else if (option == "--reply") {
      SetBehaviour(options, Behaviour::kReplyText);
      options.replyText = std::string(value());
    } else if (option == "--delay") {
      options.delay = std::chrono::milliseconds(ParseWhole<std::uint32_t>(value(), "delay"));
    } else if (option == "--namespace") {
      options.namespacePrefix = std::string(value());
    } else if (option == "--timeout") {
      options.timeout = std::chrono::milliseconds(ParseWhole<std::uint32_t>(value(), "time-out"));
    } else {
      throw std::invalid_argument("unknown option \"" + std::string(option) + "\" (see --help)");
    }
  }
  return options;
}

std::string UsageText() {
  return R"(Usage: parkmarq-linkserver [options]

Plays the simulator's link server for parkmarq's "FS" button: owns the window of class FSCONNECT8,
answers the message WM_FSCONNECT with reply atoms (request 10: information, request 1: read a
variable) and runs until interrupted (Ctrl+C or SIGTERM). Prints a line when it is ready, one per
answered request, one per deleted atom and one per reply atom that no client deleted within the
time-out (5 s), which it frees itself, and the count of released and left atoms when it stops.

Options:
  --var N=VALUE     the value of simulator variable N (repeatable); unset variables read as 0.
                    Variable 86 is the heading in degrees: --var 86=123.456
  --answer N        answer every request with the number N instead of a reply atom (e.g. 0, 7, 40000)
  --hang            never answer a request
  --reply TEXT      send TEXT as the reply to every request (e.g. a malformed reply); a TEXT that
                    cannot be an atom (empty, or over 255 characters) gives the answer 0
  --delay MS        take MS milliseconds to handle each request (a busy simulator)
  --namespace P     for tests: listen under names prefixed with P, apart from other servers
  --timeout MS      for tests: the time-out in milliseconds instead of 5000
  --help            show this text
)";
}

}  // namespace linkserver
