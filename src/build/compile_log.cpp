#include "build/compile_log.h"

#include "platform/buffered_output.h"
#include "platform/output_file.h"
#include "platform/text_file.h"

namespace build {

CompileLog::CompileLog() = default;

CompileLog::~CompileLog() {
  if (buffer_) (void)buffer_->TryFlush();
}

void CompileLog::Open(const std::string& path) {
  if (buffer_) (void)buffer_->TryFlush();
  buffer_.reset();
  file_.reset();
  failure_.clear();
  path_ = path;
  file_ = std::make_unique<platform::OutputFile>(path);
  buffer_ = std::make_unique<platform::BufferedOutput>(*file_);
}

void CompileLog::Append(std::string_view chunk) noexcept {
  if (!buffer_ || failure_) return;
  failure_ = buffer_->TryWrite(chunk);
  if (!failure_) failure_ = buffer_->TryWrite(platform::kLineEnd);
}

void CompileLog::Close() {
  if (!file_) return;
  const auto buffer = std::move(buffer_);
  const auto file = std::move(file_);
  auto failure = failure_;
  failure_.clear();
  if (!failure) failure = buffer->TryFlush();
  if (failure) throw std::system_error(failure, "cannot write \"" + path_ + "\"");
  file->Close();
}

bool CompileLog::IsOpen() const {
  return file_ != nullptr;
}

}  // namespace build
