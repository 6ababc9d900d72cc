#include "build/compile_log.h"

#include "platform/output_file.h"
#include "platform/text_file.h"

namespace build {

CompileLog::CompileLog() = default;
CompileLog::~CompileLog() = default;

void CompileLog::Open(const std::string& path) {
  file_.reset();
  failure_.clear();
  path_ = path;
  file_ = std::make_unique<platform::OutputFile>(path);
}

void CompileLog::Append(std::string_view chunk) noexcept {
  if (!file_ || failure_) return;
  failure_ = file_->TryWrite(chunk);
  if (!failure_) failure_ = file_->TryWrite(platform::kLineEnd);
}

void CompileLog::Close() {
  if (!file_) return;
  const auto file = std::move(file_);
  const auto failure = failure_;
  failure_.clear();
  if (failure) throw std::system_error(failure, "cannot write \"" + path_ + "\"");
  file->Close();
}

bool CompileLog::IsOpen() const {
  return file_ != nullptr;
}

}  // namespace build
