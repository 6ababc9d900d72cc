// Number fields take whatever the user types: every conversion must give a value or refuse the text,
// in a "." locale and in a "," locale alike, never crash.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "build/number_conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const build::NumberLocale kDot{".", ","};
  static const build::NumberLocale kComma{",", "."};
  static const build::NumberLocale kNarrowSpace{",", "\xE2\x80\xAF"};
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double leading = build::LeadingNumber(text);
  for (const auto* locale : {&kDot, &kComma, &kNarrowSpace}) {
    if (const auto number = build::ParseNumber(text, *locale)) {
      if (std::isfinite(*number)) {
        // Every text form of a parsed finite number must be producible.
        (void)build::NumberText(*number, *locale);
        // Values beyond single precision never reach FixedThreeText: the bar values are checked first.
        if (std::fabs(*number) <= std::numeric_limits<float>::max()) {
          (void)build::FixedThreeText(static_cast<float>(*number), *locale);
        }
        const double whole = build::RoundHalfEven(*number);
        if (std::fabs(whole) < 1e300) (void)build::WholeNumberText(whole);
      }
      try {
        (void)build::ParseInt16(text, *locale);
      } catch (const build::NumberOverflow&) {
      }
    }
  }
  if (std::isfinite(leading)) (void)build::WholeNumberText(build::RoundHalfEven(leading));
  return 0;
}
