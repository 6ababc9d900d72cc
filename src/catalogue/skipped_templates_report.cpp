#include "catalogue/skipped_templates_report.h"

#include <string_view>

namespace catalogue {
namespace {

constexpr std::string_view kCut = "...";

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// text on one line: a file name may hold a line break.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return line;
}

// text cut to at most length bytes, "..." included, never inside a UTF-8 character.
std::string Shortened(std::string_view text, std::size_t length) {
  if (text.size() <= length) return OneLine(text);
  std::size_t keep = length - kCut.size();
  while (keep > 0 && IsContinuationByte(text[keep])) --keep;
  return OneLine(text.substr(0, keep)) + std::string(kCut);
}

// The same for a file name, which keeps its start and, longer, its end: names that differ only in a
// number near the end must stay apart.
std::string ShortenedName(std::string_view name, std::size_t length) {
  if (name.size() <= length) return OneLine(name);
  const std::size_t room = length - kCut.size();
  std::size_t headEnd = room / 3;
  while (headEnd > 0 && IsContinuationByte(name[headEnd])) --headEnd;
  std::size_t tailStart = name.size() - (room - room / 3);
  while (tailStart < name.size() && IsContinuationByte(name[tailStart])) ++tailStart;
  return OneLine(name.substr(0, headEnd)) + std::string(kCut) + OneLine(name.substr(tailStart));
}

}  // namespace

std::string SkippedTemplatesReport(const std::vector<SkippedDescriptor>& skipped) {
  if (skipped.empty()) return {};
  std::string report = "These template files in the " + std::string(kTemplateFolder) + " folder were not read:\n";
  for (std::size_t i = 0; i < skipped.size() && i < kReportedSkippedDescriptors; ++i) {
    report += '\n';
    report += ShortenedName(skipped[i].fileName, kReportedNameLength);
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
