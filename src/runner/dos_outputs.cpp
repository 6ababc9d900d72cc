#include "runner/dos_outputs.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

#include "platform/charset.h"
#include "platform/process.h"

namespace runner {
namespace {

constexpr std::size_t kReadSize = 256;
// A piece holds a sixteenth of what was kept before it, so that while the pieces are gathered the
// output is held once plus at most that much; at least 1 MiB, a size the C library maps on its own,
// so that a piece released goes back to the system.
constexpr std::size_t kSmallestPiece = 1024 * 1024;
constexpr std::size_t kPieceShare = 16;

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

const std::string& DOSOutputs::Outputs() const {
  if (pieces_.empty()) return outputs_;
  arrived_ = outputs_;
  for (const auto& piece : pieces_) arrived_ += piece;
  return arrived_;
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
  pieces_.clear();
  piecesSize_ = 0;
  std::string().swap(arrived_);
  ReadUntilEnd(pipe.readEnd);
  pipe.readEnd.Close();
  platform::ReapEndedChildren();
  Gather();
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
    Keep(chunk);
    RaiseReceiveOutputs(chunk);
    if (!read.ok) return;
  }
}

void DOSOutputs::Keep(std::string_view chunk) {
  if (pieces_.empty() && outputs_.size() + chunk.size() <= outputs_.capacity()) {
    outputs_.append(chunk);
    return;
  }
  if (pieces_.empty() || pieces_.back().size() + chunk.size() > pieces_.back().capacity()) {
    pieces_.emplace_back().reserve(std::max({kSmallestPiece, piecesSize_ / kPieceShare, chunk.size()}));
  }
  pieces_.back().append(chunk);
  piecesSize_ += chunk.size();
}

void DOSOutputs::Gather() {
  if (pieces_.empty()) return;
  std::string whole;
  whole.reserve(outputs_.size() + piecesSize_);
  whole.append(outputs_);
  // Released, not only emptied: an assignment would keep the memory.
  std::string().swap(outputs_);
  for (auto& piece : pieces_) {
    whole.append(piece);
    std::string().swap(piece);
  }
  pieces_.clear();
  piecesSize_ = 0;
  outputs_ = std::move(whole);
}

void DOSOutputs::RaiseReceiveOutputs(std::string_view chunk) {
  const std::size_t connected = receiveOutputs_.size();
  for (std::size_t i = 0; i < connected; ++i) {
    std::string CommandOutputs(chunk);
    receiveOutputs_[i](CommandOutputs);
  }
}

}  // namespace runner
