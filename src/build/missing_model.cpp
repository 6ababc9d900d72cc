#include "build/missing_model.h"

#include "platform/file_system.h"
#include "platform/text_file.h"

namespace build {

ModelFileWatch::ModelFileWatch(std::string modelPath)
    : modelPath_(std::move(modelPath)), before_(platform::FileSystem().LastWriteTime(modelPath_)) {}

bool ModelFileWatch::Written() const {
  const auto after = platform::FileSystem().LastWriteTime(modelPath_);
  // Compared for change rather than order: a model left with a time in the future (a clock set back)
  // must still count as rewritten.
  return after && after != before_;
}

std::string NoModelReport(const std::string& modelPath, std::string_view output, std::string_view whereKept) {
  std::string report = "The compiler wrote no model file:\n" + modelPath + "\n";
  if (output.empty()) return report + "It printed nothing.";
  // One line more than is shown tells whether any were left out.
  const auto tail = platform::LastLines(output, kShownOutputLines + 1);
  const bool cut = tail.size() > kShownOutputLines;
  report += cut ? "The last " + std::to_string(kShownOutputLines) + " lines it printed:" : std::string("It printed:");
  for (std::size_t i = cut ? 1 : 0; i < tail.size(); ++i) {
    report += "\n";
    report += tail[i];
  }
  if (!whereKept.empty()) {
    report += "\n";
    report += whereKept;
  }
  return report;
}

std::string WholeOutputKeptIn(const std::string& logPath) {
  return "The whole output is in " + logPath + ".";
}

}  // namespace build
