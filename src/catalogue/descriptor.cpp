#include "catalogue/descriptor.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "platform/path.h"
#include "platform/text_file.h"

namespace catalogue {
namespace {

constexpr int kFixedLines = 8;

std::string_view TrimBlanks(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// Sign, digits, optional fraction and exponent: the numbers a flag line may hold.
std::optional<double> WholeTextNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.find_first_not_of("+-0123456789.eE") != std::string_view::npos) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A picture may sit in a sub-folder of the template folder, never outside it: every part between
// separators is a plain name or "."; an empty name means none.
bool IsPathInsideFolder(std::string_view name) {
  if (name.empty()) return true;
  for (std::size_t start = 0; start <= name.size();) {
    const auto rest = name.substr(start);
    const auto end = start + std::min(platform::FindFirstCharacterOf(rest, kDescriptorSeparators), rest.size());
    const auto part = name.substr(start, end - start);
    if (part != "." && (part.empty() || !platform::IsPlainFileName(part))) return false;
    start = end + 1;
  }
  return name != ".";
}

}  // namespace

bool IsDescriptorName(std::string_view fileName) {
  const auto at = fileName.find(kDescriptorExtension);
  return at != std::string_view::npos && at + kDescriptorExtension.size() == fileName.size();
}

std::optional<bool> ToTruthValue(std::string_view text) {
  text = TrimBlanks(text);
  if (EqualsIgnoringCase(text, "true")) return true;
  if (EqualsIgnoringCase(text, "false")) return false;
  if (const auto number = WholeTextNumber(text)) return *number != 0.0;
  return std::nullopt;
}

std::string SystemPath(std::string_view descriptorPath) {
  // Character by character, so that a double-byte character's second byte is never taken for "\".
  std::string path;
  for (auto rest = descriptorPath; !rest.empty();) {
    const auto at = std::min(platform::FindFirstCharacterOf(rest, kDescriptorSeparators), rest.size());
    path += rest.substr(0, at);
    if (at == rest.size()) break;
    path += platform::kPathSeparator;
    rest.remove_prefix(at + 1);
  }
  return path;
}

std::variant<TemplateEntry, DescriptorProblem> ParseDescriptor(std::string_view content) {
  // Walked line by line: the description is the only part kept, however many lines there are.
  platform::LineCursor cursor(content);
  std::vector<std::string_view> lines;
  while (lines.size() < kFixedLines) {
    const auto line = cursor.Next();
    if (!line) break;
    lines.push_back(*line);
  }
  if (lines.size() < kFixedLines) {
    const std::string count = std::to_string(lines.size()) + (lines.size() == 1 ? " line" : " lines");
    return DescriptorProblem{"it has " + count + ", at least 8 are needed"};
  }
  TemplateEntry entry;
  bool* const flags[] = {&entry.UsesHeading, &entry.UsesStopDistance, &entry.UsesVisibilityDistance,
                         &entry.UsesLateralDistance};
  for (int i = 0; i < 4; ++i) {
    const auto value = ToTruthValue(lines[i]);
    if (!value) return DescriptorProblem{"line " + std::to_string(i + 1) + " is not True, False or a number"};
    *flags[i] = *value;
  }
  entry.Name = lines[4];
  entry.PictureFile = lines[5];
  entry.SourceFile = lines[6];
  entry.ReservedLine = lines[7];
  if (!IsPathInsideFolder(entry.PictureFile)) return DescriptorProblem{"the picture is outside the template folder"};
  // Only entry 0, "no template", may lack a source: a build reports it as nothing selected.
  if (entry.SourceFile.empty() || !platform::IsPlainFileName(entry.SourceFile) ||
      platform::FindFirstCharacterOf(entry.SourceFile, kDescriptorSeparators) != std::string_view::npos) {
    return DescriptorProblem{"the source is not a plain file name"};
  }
  while (const auto line = cursor.Next()) {
    entry.Description += *line;
    entry.Description += platform::kLineEnd;
  }
  return entry;
}

}  // namespace catalogue
