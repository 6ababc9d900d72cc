#pragma once

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "platform/window_messages.h"
#include "simlink/link_replies.h"

namespace simlink {

// The link server's window class and the message it answers.
inline constexpr std::string_view kServerClass = "FSCONNECT8";
inline constexpr std::string_view kMessageName = "WM_FSCONNECT";

// Request codes, sent as the message's first parameter.
inline constexpr std::uint32_t kInfoRequest = 10;
inline constexpr std::uint32_t kReadRequest = 1;

// Result codes of both requests. Any other positive value is the server's own answer, passed through.
inline constexpr std::int16_t kReplyDecoded = 0;
inline constexpr std::int16_t kNoServer = 1;

// The client of the simulator's link server. It keeps no connection: every request registers the
// message and looks the server's window up again, so the simulator may come and go at any time.
// A request's outputs are written only when it returns kReplyDecoded. A reply that breaks the protocol
// (an answer outside the 16-bit range, a reply text that does not decode) throws MalformedReply; the
// reply atom is released before decoding, so it is released exactly once either way. Every call is done
// by its deadline, one time-out from the call unless the caller bounds several calls by one deadline; a
// server that does not answer by then counts as no server.
class FSConnect {
 public:
  // Registers the message and finds the window, storing both; true when both are non-zero.
  [[nodiscard]] bool fscIsConnected(platform::Deadline deadline = platform::WindowMessageDeadline());

  // The information request.
  [[nodiscard]] std::int16_t fscGetInfo(std::string& infoHead, std::string& infoTail, std::int32_t& infoNumber1,
                                        std::int32_t& infoNumber2,
                                        platform::Deadline deadline = platform::WindowMessageDeadline());

  // Reads one simulator variable. On kReplyDecoded: leadWord gets bytes 1-4 of the reply, replyText the
  // reply from its 9th character on, and variableValue the decoded value converted to its own type
  // (integers rounded half to even) when typeLetter is one of the known seven. Throws
  // std::overflow_error when the value does not fit that type.
  template <typename Number>
  requires std::is_arithmetic_v<Number> &&(!std::same_as<Number, bool>) [[nodiscard]] std::int16_t
      fscReadVariable(std::int32_t variableNumber, std::string_view typeLetter, Number& variableValue,
                      std::string& replyText, std::int32_t& leadWord,
                      platform::Deadline deadline = platform::WindowMessageDeadline());

  // The message number found by the last check; 0 when registration failed or before the first check.
  [[nodiscard]] std::uint32_t fscMessage() const { return message_; }
  // The server window found by the last check; 0 when there was none or before the first check.
  [[nodiscard]] platform::WindowHandle fscServerWindow() const { return serverWindow_; }

 private:
  // The common exchange: the result code, and on kReplyDecoded the reply text (the atom released).
  [[nodiscard]] std::int16_t Exchange(std::uint32_t requestCode, std::int32_t argument, std::string& reply,
                                      platform::Deadline deadline);

  std::uint32_t message_ = 0;
  platform::WindowHandle serverWindow_ = 0;
};

namespace detail {

[[noreturn]] void ThrowDoesNotFit(double number);

// value in the caller's numeric type: integers rounded half to even, and an overflow error rather than
// a wrapped or undefined value.
template <typename Number>
Number ConvertVariable(const VariableValue& value) {
  const double number = std::visit([](auto v) { return static_cast<double>(v); }, value);
  if constexpr (std::floating_point<Number>) {
    if (std::isfinite(number) && std::fabs(number) > static_cast<double>(std::numeric_limits<Number>::max())) {
      ThrowDoesNotFit(number);
    }
    return static_cast<Number>(number);
  } else {
    const double rounded = std::nearbyint(number);  // the default rounding mode goes half to even
    if (!(rounded >= static_cast<double>(std::numeric_limits<Number>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Number>::max()))) {
      ThrowDoesNotFit(number);
    }
    return static_cast<Number>(rounded);
  }
}

}  // namespace detail

template <typename Number>
requires std::is_arithmetic_v<Number> &&(!std::same_as<Number, bool>)std::int16_t FSConnect::fscReadVariable(
    std::int32_t variableNumber, std::string_view typeLetter, Number& variableValue, std::string& replyText,
    std::int32_t& leadWord, platform::Deadline deadline) {
  std::string reply;
  const std::int16_t result = Exchange(kReadRequest, variableNumber, reply, deadline);
  if (result != kReplyDecoded) return result;
  ReadReply decoded = DecodeReadReply(reply, typeLetter);
  // Converted before anything is written, so an overflow leaves every output as it was.
  if (decoded.value) variableValue = detail::ConvertVariable<Number>(*decoded.value);
  replyText = std::move(decoded.replyText);
  leadWord = decoded.leadWord;
  return kReplyDecoded;
}

}  // namespace simlink
