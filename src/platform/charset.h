#pragma once

#include <string>
#include <string_view>

namespace platform {

// The character every byte that the system's character set cannot hold turns into.
inline constexpr char kSubstituteCharacter = '?';

// text as it comes back after a trip through the system's character set.
// POSIX, UTF-8: well-formed UTF-8 sequences are kept as they are, and every byte that is not part of
// one (a stray continuation byte, a truncated sequence, an overlong form, a surrogate, a value above
// U+10FFFF, 0xC0, 0xC1, 0xF5 to 0xFF) becomes kSubstituteCharacter, one for each such byte.
// Windows, the ANSI code page: text decoded from the code page and encoded back into it; what the code
// page cannot map back comes out as kSubstituteCharacter.
[[nodiscard]] std::string ToSystemCharset(std::string_view text);

}  // namespace platform
