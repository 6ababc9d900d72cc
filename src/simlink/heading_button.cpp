#include "simlink/heading_button.h"

#include <cmath>

#include "build/number_conversions.h"

namespace simlink {

std::string HeadingText(float heading) {
  // A single times 1000 is exact in a double, so a decimal half is seen as the half it is.
  const double rounded = build::RoundHalfEven(static_cast<double>(heading) * 1000.0) / 1000.0;
  return (rounded < 0 ? "" : " ") + build::NumberText(rounded, build::kInvariantLocale);
}

std::optional<std::string> ReadHeadingText(FSConnect& link) {
  // One time-out for the whole press, however many round trips it takes.
  const platform::Deadline deadline = platform::WindowMessageDeadline();
  std::string infoHead;
  std::string infoTail;
  std::int32_t infoNumber1 = 0;
  std::int32_t infoNumber2 = 0;
  if (link.fscGetInfo(infoHead, infoTail, infoNumber1, infoNumber2, deadline) != kReplyDecoded) return std::nullopt;

  float heading = 0;
  std::string replyText;
  std::int32_t leadWord = 0;
  if (link.fscReadVariable(kHeadingVariable, "n", heading, replyText, leadWord, deadline) != kReplyDecoded) {
    return std::nullopt;
  }
  // The double takes reply characters 9-24; a shorter reply (or an atom that could not be fetched)
  // would otherwise show as a heading of 0.
  constexpr std::size_t kValueCharacters = 16;
  if (replyText.size() < kValueCharacters) {
    throw MalformedReply("the heading reply is too short to hold the heading");
  }
  if (!std::isfinite(heading)) throw MalformedReply("the heading is not a finite number");
  return HeadingText(heading);
}

}  // namespace simlink
