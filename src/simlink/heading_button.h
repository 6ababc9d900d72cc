#pragma once

#include <optional>
#include <string>

#include "simlink/fs_connect.h"

namespace simlink {

// The simulator variable that holds the heading, in degrees.
inline constexpr std::int32_t kHeadingVariable = 86;

// What the "FS" button does, apart from the window: probes the link server with the information
// request, reads the heading as a single-precision value and returns its text for txt_heading.
// Both requests together take at most one time-out (platform::WindowMessageDeadline).
// nullopt when either request does not succeed (no server, a refusal, no answer in time): the field
// keeps its text and nothing is shown. Throws MalformedReply for a reply that breaks the protocol, or
// one too short to carry the heading or carrying no finite number, and std::overflow_error for a
// value beyond single precision: a wrong heading is never returned.
[[nodiscard]] std::optional<std::string> ReadHeadingText(FSConnect& link);

// The heading rounded half to even to three decimals: one leading blank when zero or positive, "."
// as separator whatever the locale, no trailing zeros, no point for a whole number (" 12.062", "-0.25").
// Throws std::domain_error for an infinity or NaN.
[[nodiscard]] std::string HeadingText(float heading);

}  // namespace simlink
