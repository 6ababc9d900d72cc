#include "catalogue/skipped_templates_report.h"

#include <string_view>

namespace catalogue {
namespace {

// text on one line (a file name may hold a line break) and cut to at most length bytes, "..."
// included, never inside a UTF-8 character.
std::string Shortened(std::string_view text, std::size_t length) {
  constexpr std::string_view kCut = "...";
  std::size_t keep = text.size();
  if (text.size() > length) {
    keep = length - kCut.size();
    while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
  }
  std::string shortened(text.substr(0, keep));
  for (char& c : shortened) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return keep < text.size() ? shortened + std::string(kCut) : shortened;
}

}  // namespace

std::string SkippedTemplatesReport(const std::vector<SkippedDescriptor>& skipped) {
  if (skipped.empty()) return {};
  std::string report = "These template files in the " + std::string(kTemplateFolder) + " folder were not read:\n";
  for (std::size_t i = 0; i < skipped.size() && i < kReportedSkippedDescriptors; ++i) {
    report += '\n';
    report += Shortened(skipped[i].fileName, kReportedNameLength);
    report += ": ";
    report += Shortened(skipped[i].reason, kReportedReasonLength);
  }
  if (skipped.size() > kReportedSkippedDescriptors) {
    report += "\n\n... and ";
    report += std::to_string(skipped.size() - kReportedSkippedDescriptors);
    report += " more.";
  }
  return report;
}

}  // namespace catalogue
