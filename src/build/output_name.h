#pragma once

#include <string>
#include <string_view>

#include "build/number_conversions.h"
#include "build/parameter_fields.h"

namespace build {

inline constexpr std::string_view kSaveDialogTitle = "Select output MDL file";
inline constexpr std::string_view kSaveDialogFilter = "MDL file (*.mdl)|*.mdl|";

// defaultOutputFolder, as it is, followed by the file name: sourceFile without any ".asm"
// (case-sensitive), then for each enabled field in the order heading, stop, lateral "_h" and the
// heading to two decimals (halves to even), "_s" and "_l" and the distance as a whole number (halves
// to even), then ".mdl". Throws std::overflow_error naming the field when the heading in hundredths
// does not fit 32 bits or a distance does not fit -32768..32767, and std::runtime_error when an
// enabled field's text is not a number.
[[nodiscard]] std::string ProposeOutputName(std::string_view sourceFile, const ParameterFields& fields,
                                            std::string_view defaultOutputFolder, const NumberLocale& locale);

}  // namespace build
