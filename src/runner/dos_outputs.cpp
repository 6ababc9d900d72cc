#include "runner/dos_outputs.h"

#include <array>
#include <cstddef>
#include <utility>

#include "platform/charset.h"
#include "platform/process.h"

namespace runner {
namespace {

constexpr std::size_t kReadSize = 256;

constexpr char kCommandLineEmpty[] = "Command Line empty";
constexpr char kCreatePipeFailed[] = "CreatePipe failed. Error: ";
constexpr char kStartFailed[] = "File or command not found";

// What a call that started no child returns, while Outputs keeps the last child's output.
const std::string& NoOutput() {
  static const std::string empty;
  return empty;
}

}  // namespace

DOSOutputs::DOSOutputs(RunnerMessages& messages) : messages_(messages) {}

void DOSOutputs::SetCommandLine(const std::string& DOSCommand) {
  commandLine_ = DOSCommand;
}

std::string DOSOutputs::CommandLine() const {
  return commandLine_;
}

std::string DOSOutputs::Outputs() const {
  return outputs_;
}

const std::string& DOSOutputs::ExecuteCommand(const std::string& commandLine) {
  if (!commandLine.empty()) commandLine_ = commandLine;
  if (commandLine_.empty()) {
    messages_.ShowMessage(kCommandLineEmpty);
    return NoOutput();
  }

  platform::Pipe pipe;
  if (const int error = platform::CreatePipe(pipe); error != 0) {
    messages_.ShowMessage(kCreatePipeFailed + std::to_string(error));
    return NoOutput();
  }

  commandLine_ = platform::ToSystemCharset(commandLine_);
  const bool started = platform::StartChild(commandLine_, pipe.writeEnd);
  // Only the child may hold a write end now, or the end of its output would never be seen.
  pipe.writeEnd.Close();
  if (!started) {
    pipe.readEnd.Close();
    messages_.ShowMessage(kStartFailed);
    return NoOutput();
  }

  // clear() keeps the capacity: a runner used again does not fault in fresh memory for each output.
  outputs_.clear();
  ReadUntilEnd(pipe.readEnd);
  pipe.readEnd.Close();
  platform::ReapEndedChildren();
  return outputs_;
}

void DOSOutputs::ConnectReceiveOutputs(ReceiveOutputsHandler handler) {
  receiveOutputs_.push_back(std::move(handler));
}

void DOSOutputs::SetWaitHandler(std::function<void()> handler, std::chrono::milliseconds interval) {
  waitHandler_ = std::move(handler);
  waitInterval_ = interval;
}

void DOSOutputs::ReadUntilEnd(const platform::PipeEnd& readEnd) {
  std::array<char, kReadSize> buffer;
  for (;;) {
    if (waitHandler_) {
      waitHandler_();
      while (!platform::WaitReadable(readEnd, waitInterval_)) waitHandler_();
    }
    const platform::ReadResult read = platform::ReadSome(readEnd, buffer);
    const std::string_view chunk(buffer.data(), read.count);
    outputs_.append(chunk);
    RaiseReceiveOutputs(chunk);
    if (!read.ok) return;
  }
}

void DOSOutputs::RaiseReceiveOutputs(std::string_view chunk) {
  const std::size_t connected = receiveOutputs_.size();
  for (std::size_t i = 0; i < connected; ++i) {
    std::string CommandOutputs(chunk);
    receiveOutputs_[i](CommandOutputs);
  }
}

}  // namespace runner
