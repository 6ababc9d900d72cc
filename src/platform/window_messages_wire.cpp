#include "platform/window_messages_wire.h"

#include <stdexcept>

#include "platform/window_messages.h"

namespace platform::wire {
namespace {

// "PMRQ" and "PMAN" as they appear on the wire.
constexpr std::uint32_t kRequestTag = 0x5152'4D50;
constexpr std::uint32_t kAnswerTag = 0x4E41'4D50;

void PutWord(std::uint8_t* to, std::uint32_t word) {
  for (int i = 0; i < 4; ++i) to[i] = static_cast<std::uint8_t>(word >> (8 * i));
}

std::uint32_t WordAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return CopyLittleEndian<std::uint32_t>(bytes.subspan(offset).first<4>());
}

}  // namespace

std::array<std::uint8_t, kRequestSize> EncodeRequest(const Request& request) {
  std::array<std::uint8_t, kRequestSize> bytes{};
  PutWord(&bytes[0], kRequestTag);
  PutWord(&bytes[4], static_cast<std::uint32_t>(request.kind));
  PutWord(&bytes[8], request.window);
  PutWord(&bytes[12], request.message);
  PutWord(&bytes[16], request.wParam);
  PutWord(&bytes[20], request.lParam);
  return bytes;
}

std::optional<Request> DecodeRequest(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != kRequestSize || WordAt(bytes, 0) != kRequestTag) return std::nullopt;
  const std::uint32_t kind = WordAt(bytes, 4);
  if (kind < static_cast<std::uint32_t>(RequestKind::kFindWindow) ||
      kind > static_cast<std::uint32_t>(RequestKind::kDeleteAtom)) {
    return std::nullopt;
  }
  return Request{static_cast<RequestKind>(kind), WordAt(bytes, 8), WordAt(bytes, 12), WordAt(bytes, 16),
                 WordAt(bytes, 20)};
}

std::vector<std::uint8_t> EncodeAnswer(const Answer& answer) {
  if (answer.text.size() > kMaxAnswerText) throw std::length_error("a window-message answer text is too long");
  std::vector<std::uint8_t> bytes(kAnswerHeaderSize + answer.text.size());
  PutWord(&bytes[0], kAnswerTag);
  PutWord(&bytes[4], answer.handled ? 1U : 0U);
  PutWord(&bytes[8], static_cast<std::uint32_t>(answer.value));
  PutWord(&bytes[12], static_cast<std::uint32_t>(answer.text.size()));
  std::copy(answer.text.begin(), answer.text.end(), bytes.begin() + kAnswerHeaderSize);
  return bytes;
}

std::optional<Answer> DecodeAnswer(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kAnswerHeaderSize || WordAt(bytes, 0) != kAnswerTag) return std::nullopt;
  const std::uint32_t handled = WordAt(bytes, 4);
  const std::uint32_t length = WordAt(bytes, 12);
  if (handled > 1 || length > kMaxAnswerText || bytes.size() != kAnswerHeaderSize + length) return std::nullopt;
  const auto text = bytes.subspan(kAnswerHeaderSize);
  return Answer{handled == 1, static_cast<std::int32_t>(WordAt(bytes, 8)), std::string(text.begin(), text.end())};
}

}  // namespace platform::wire
