#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "catalogue/template_entry.h"

namespace catalogue {

inline constexpr std::string_view kDescriptorExtension = ".vgp";

// A descriptor's file name contains ".vgp" (case-sensitive) and its first occurrence ends the name:
// dock.vgp is one; dock.VGP, dock.vgp.bak and dock.vgp.vgp are not.
[[nodiscard]] bool IsDescriptorName(std::string_view fileName);

// The platform's text-to-truth conversion: True or False in any letter case, or a number (0 false,
// anything else true). Blanks around the text are allowed. Anything else has no truth value.
[[nodiscard]] std::optional<bool> ToTruthValue(std::string_view text);

// A descriptor written on any system separates the folders of its picture path with "/" or "\"; both
// are read as separators on every system.
inline constexpr std::string_view kDescriptorSeparators = "/\\";

// A picture path from a descriptor in the system's own form, each separator the system's.
[[nodiscard]] std::string SystemPath(std::string_view descriptorPath);

// Why a descriptor's content was refused; the text is meant for the author of the template.
struct DescriptorProblem {
  std::string reason;
};

// Reads one descriptor from its content: four flags, name, picture, main source, a reserved line,
// then the description (lines 9 to the end, each followed by CR LF). Refused when it has fewer than
// eight lines, a flag line that is no truth value, no source name, a source name that is not a plain
// file name on any system, or a picture path whose parts are not (so a template cannot reach outside
// its folder).
[[nodiscard]] std::variant<TemplateEntry, DescriptorProblem> ParseDescriptor(std::string_view content);

}  // namespace catalogue
