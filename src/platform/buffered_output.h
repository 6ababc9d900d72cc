#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/output_file.h"

namespace platform {

inline constexpr std::size_t kOutputBufferSize = 64 * 1024;

// Bytes gathered into pieces of kOutputBufferSize before they reach the file, so that many small
// writes cost few system calls. What is still gathered reaches the file only through Flush: call it
// before closing the file.
class BufferedOutput {
 public:
  // file must outlive the object.
  explicit BufferedOutput(OutputFile& file);

  // Throws std::system_error naming the file when a write fails.
  void Write(std::string_view bytes);
  void Flush();

  // As Write and Flush, for callers that must not throw: why a write failed, or nothing.
  [[nodiscard]] std::error_code TryWrite(std::string_view bytes) noexcept;
  [[nodiscard]] std::error_code TryFlush() noexcept;

 private:
  OutputFile& file_;
  std::string gathered_;
};

}  // namespace platform
