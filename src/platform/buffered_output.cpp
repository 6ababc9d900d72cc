#include "platform/buffered_output.h"

namespace platform {

BufferedOutput::BufferedOutput(OutputFile& file) : file_(file) {
  gathered_.reserve(kOutputBufferSize);
}

void BufferedOutput::Write(std::string_view bytes) {
  if (gathered_.size() + bytes.size() > kOutputBufferSize) {
    Flush();
    if (bytes.size() >= kOutputBufferSize) return file_.Write(bytes);
  }
  gathered_.append(bytes);  // within the reserved capacity: no allocation
}

void BufferedOutput::Flush() {
  try {
    file_.Write(gathered_);
  } catch (...) {
    gathered_.clear();
    throw;
  }
  gathered_.clear();
}

std::error_code BufferedOutput::TryWrite(std::string_view bytes) noexcept {
  if (gathered_.size() + bytes.size() > kOutputBufferSize) {
    if (const auto error = TryFlush()) return error;
    if (bytes.size() >= kOutputBufferSize) return file_.TryWrite(bytes);
  }
  gathered_.append(bytes);
  return {};
}

std::error_code BufferedOutput::TryFlush() noexcept {
  const auto error = file_.TryWrite(gathered_);
  gathered_.clear();
  return error;
}

}  // namespace platform
