#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace simlink_testing {

// The link server program running in the background under a namespace of its own, started with the
// given options. The constructor returns once the server has printed its ready line and throws when it
// does not within a few seconds. Stop (or the destructor) ends it with SIGTERM, or SIGKILL if it lingers.
class LinkServerProcess {
 public:
  LinkServerProcess(const std::string& namespacePrefix, const std::vector<std::string>& options);
  ~LinkServerProcess() { Stop(); }
  LinkServerProcess(const LinkServerProcess&) = delete;
  LinkServerProcess& operator=(const LinkServerProcess&) = delete;

  // Stops the server with signal and returns everything it printed (after SIGTERM, its final count too).
  std::string Stop(int signal = SIGTERM);

  // Reads the output until marker appears (an empty marker: until its end); false when time runs out first.
  bool ReadUntil(const std::string& marker, int timeoutMilliseconds);

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::string printed_;
};

}  // namespace simlink_testing
