#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The bytes that travel over one connection of the window-message service: a fixed-size request from
// the client, then one answer from the server, which closes the connection after it. Every number is
// a little-endian 32-bit field; a tag starts both so that a stray peer's bytes are not taken for
// either. Shared by the client, the server and tests that play a misbehaving server.
namespace platform::wire {

enum class RequestKind : std::uint32_t {
  kFindWindow = 1,   // answer value: the window's identity
  kSendMessage = 2,  // answer value: the handler's result
  kGetAtomName = 3,  // answer text: the atom's text
  kDeleteAtom = 4,   // answer carries nothing of use
};

struct Request {
  RequestKind kind = RequestKind::kFindWindow;
  std::uint32_t window = 0;  // kSendMessage: the identity that kFindWindow gave
  std::uint32_t message = 0;
  std::uint32_t wParam = 0;
  std::uint32_t lParam = 0;  // kGetAtomName and kDeleteAtom: the atom
};

struct Answer {
  bool handled = false;  // false: no such window or atom, or a request the server does not know
  std::int32_t value = 0;
  std::string text;  // at most kMaxAnswerText characters
};

inline constexpr std::size_t kRequestSize = 24;
inline constexpr std::size_t kAnswerHeaderSize = 16;
inline constexpr std::size_t kMaxAnswerText = 255;
inline constexpr std::size_t kMaxAnswerSize = kAnswerHeaderSize + kMaxAnswerText;

[[nodiscard]] std::array<std::uint8_t, kRequestSize> EncodeRequest(const Request& request);

// nullopt unless bytes are exactly one request with the request tag and a known kind.
[[nodiscard]] std::optional<Request> DecodeRequest(std::span<const std::uint8_t> bytes);

// Throws std::length_error when the text is longer than kMaxAnswerText.
[[nodiscard]] std::vector<std::uint8_t> EncodeAnswer(const Answer& answer);

// nullopt unless bytes are exactly one answer: the answer tag, a text length within kMaxAnswerText and
// that many text bytes, nothing after them.
[[nodiscard]] std::optional<Answer> DecodeAnswer(std::span<const std::uint8_t> bytes);

}  // namespace platform::wire
