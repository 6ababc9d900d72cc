#pragma once

#include <functional>
#include <string>
#include <vector>

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
class DOSOutputs {
 public:
  // A handler gets its own copy of the chunk: changing it reaches neither Outputs nor the result.
  using ReceiveOutputsHandler = std::function<void(std::string& CommandOutputs)>;

  explicit DOSOutputs(RunnerMessages& messages);

  void SetCommandLine(const std::string& DOSCommand);
  [[nodiscard]] std::string CommandLine() const;
  [[nodiscard]] std::string Outputs() const;

  // Runs commandLine (stored for later calls) or, when it is empty, the stored command line.
  // Returns the whole output, or an empty string when no child was started.
  std::string ExecuteCommand(const std::string& commandLine = {});

  // Connects a handler to the ReceiveOutputs event; handlers run in the order connected.
  void ConnectReceiveOutputs(ReceiveOutputsHandler handler);

 private:
  RunnerMessages& messages_;
  std::string commandLine_;
  std::string outputs_;
  std::vector<ReceiveOutputsHandler> receiveOutputs_;
};

}  // namespace runner
