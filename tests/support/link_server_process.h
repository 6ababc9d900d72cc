#pragma once

#include <string>
#include <vector>

#include "platform/pipe.h"

namespace testing_support {

// The link server program running in the background under a window-message namespace of its own,
// started with the given options. The constructor returns once the server has printed its ready line
// and fails the test when it does not within a few seconds.
class LinkServerProcess {
 public:
  LinkServerProcess(const std::string& namespacePrefix, const std::vector<std::string>& options);
  ~LinkServerProcess() { Stop(); }
  LinkServerProcess(const LinkServerProcess&) = delete;
  LinkServerProcess& operator=(const LinkServerProcess&) = delete;

  // Ends the server and returns everything it printed, its final count too. On POSIX with signal (a
  // SIGKILL leaves its socket files behind); on Windows through its window, or terminated when hung.
  std::string Stop(int signal = 15);

  // Reads the output until marker appears in what it prints from now on (an empty marker: until its
  // end); false when time runs out first.
  bool ReadUntil(const std::string& marker, int timeoutMilliseconds);
  [[nodiscard]] const std::string& Printed() const { return printed_; }

 private:
  long long pid_ = -1;       // POSIX only
  std::string windowClass_;  // Windows only: the server window's class, under the namespace
  platform::Pipe pipe_;
  std::string printed_;
};

}  // namespace testing_support
