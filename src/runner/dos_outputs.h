#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pipe.h"

namespace runner {

// Where the runner's own failure messages go; the window shows them as critical message boxes
// with the application title.
class RunnerMessages {
 public:
  virtual ~RunnerMessages() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

// Runs one command line as a hidden child process, reports its merged standard output and standard
// error read by read (at most 256 bytes each) and returns the whole output once every holder of the
// pipe's write end has closed it.
//
// The command line goes to platform::StartChild as it is: the first token names the program (in
// double quotes when it holds blanks), and the child gets no standard input and the runner's
// environment and current directory. The runner does not wait for the child to end, yet leaves no
// zombie: ended children are reaped, without blocking, after each run and before each start (a
// child still on its way out when its output ends is collected by the next call).
//
// Used from one thread; handlers run on it, inside ExecuteCommand.
class DOSOutputs {
 public:
  // A handler gets its own copy of the chunk: changing it reaches neither Outputs nor the result,
  // nor the other handlers.
  using ReceiveOutputsHandler = std::function<void(std::string& CommandOutputs)>;

  // messages must outlive the object.
  explicit DOSOutputs(RunnerMessages& messages);

  // Stores a copy of DOSCommand, the empty string included; nothing runs until ExecuteCommand.
  void SetCommandLine(const std::string& DOSCommand);
  [[nodiscard]] std::string CommandLine() const;
  // The output of the most recent child that was started; while one runs, what has arrived so far
  // (inside a handler it already ends with the chunk being reported). The same text as the result
  // of ExecuteCommand, and valid until the next call of either.
  [[nodiscard]] const std::string& Outputs() const;

  // Runs commandLine (stored for later calls, whatever the outcome) or, when it is empty, the
  // stored command line, and blocks until the child's output has ended. Raises ReceiveOutputs once
  // per read, with the bytes of that read passed on unchanged (a UTF-8 character may be split
  // between two chunks), and once more with an empty chunk when the output has ended.
  // Returns the whole output, which is the accumulated output itself (read it before the next call;
  // no copy is made, as an output can be large and the caller often ignores it), or "" after one of
  // these messages, when no child was started:
  //   "Command Line empty"              argument and stored command line both empty; nothing changed
  //   "CreatePipe failed. Error: <n>"   n the system's error number; Outputs unchanged
  //   "File or command not found"       the start failed for any reason; Outputs unchanged
  // Once a pipe exists, the stored command line is replaced by its form in the system's character
  // set (bytes that are not UTF-8 become "?"), and that form is what runs.
  // An exception thrown by a handler leaves through here with the pipe closed; the child then sees
  // a broken pipe.
  const std::string& ExecuteCommand(const std::string& commandLine = {});

  // Connects a handler to the ReceiveOutputs event; handlers run in the order connected. A handler
  // connected while the event is being raised first runs for the next chunk.
  void ConnectReceiveOutputs(ReceiveOutputsHandler handler);

  // While ExecuteCommand waits for the child's output, handler runs on the caller's thread at
  // least every interval, and once between chunks; it must not start another command. An empty
  // handler makes the reads block as before. An exception it throws leaves like a ReceiveOutputs one.
  void SetWaitHandler(std::function<void()> handler, std::chrono::milliseconds interval);

 private:
  void ReadUntilEnd(const platform::PipeEnd& readEnd);
  void RaiseReceiveOutputs(std::string_view chunk);
  // Keeps a chunk of output: in outputs_ while its capacity lasts, so that a runner used again
  // touches no fresh memory, and beyond that in pieces, so that growing never copies what was kept.
  void Keep(std::string_view chunk);
  // Moves the pieces into outputs_, each released once copied: the output is then held once, plus
  // at most a piece.
  void Gather();

  RunnerMessages& messages_;
  std::string commandLine_;
  std::string outputs_;
  std::vector<std::string> pieces_;  // the output beyond outputs_'s capacity, in order
  std::size_t piecesSize_ = 0;
  mutable std::string arrived_;  // Outputs() while pieces are kept
  // A deque, so connecting a handler from inside one never moves the handler that is running.
  std::deque<ReceiveOutputsHandler> receiveOutputs_;
  std::function<void()> waitHandler_;
  std::chrono::milliseconds waitInterval_{0};
};

}  // namespace runner
