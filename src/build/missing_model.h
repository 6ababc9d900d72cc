#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace build {

// How much of a compile's output the report of a missing model shows; the whole of it is in a log.
inline constexpr std::size_t kShownOutputLines = 20;

// Whether a compile wrote its model file. Made just before the compiler starts; a file that is
// missing afterwards, or still carries the time it had then, was not written by this compile.
class ModelFileWatch {
 public:
  explicit ModelFileWatch(std::string modelPath);
  [[nodiscard]] bool Written() const;
  [[nodiscard]] const std::string& ModelPath() const { return modelPath_; }

 private:
  std::string modelPath_;
  std::optional<std::int64_t> before_;
};

// The report of a compile that wrote no model file, the same in the window and the batch program:
// "The compiler wrote no model file:", the model's path, then the last lines the compiler printed (at
// most kShownOutputLines whole lines, after a line saying how many) or that it printed nothing, then
// whereKept, the line that says where the whole output is, when there was any output.
[[nodiscard]] std::string NoModelReport(const std::string& modelPath, std::string_view output,
                                        std::string_view whereKept);

// "The whole output is in PATH."
[[nodiscard]] std::string WholeOutputKeptIn(const std::string& logPath);

}  // namespace build
