#include "simlink/link_server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace simlink_testing {

LinkServerProcess::LinkServerProcess(const std::string& namespacePrefix, const std::vector<std::string>& options) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe for the link server");
  std::vector<std::string> arguments{PARKMARQ_LINKSERVER_PATH, "--namespace", namespacePrefix};
  arguments.insert(arguments.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(ends[1], STDOUT_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(ends[1]);
  output_ = ends[0];
  if (!ReadUntil("ready", 10'000)) throw std::runtime_error("the link server did not get ready: " + Stop());
}

bool LinkServerProcess::ReadUntil(const std::string& marker, int timeoutMilliseconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  while (marker.empty() || printed_.find(marker) == std::string::npos) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd entry{output_, POLLIN, 0};
    const int ready = left.count() > 0 ? ::poll(&entry, 1, static_cast<int>(left.count())) : 0;
    if (ready == 0) return false;
    if (ready < 0) continue;  // interrupted by a signal
    char chunk[512];
    const ssize_t count = ::read(output_, chunk, sizeof chunk);
    if (count <= 0) return marker.empty();
    printed_.append(chunk, static_cast<std::size_t>(count));
  }
  return true;
}

std::string LinkServerProcess::Stop(int signal) {
  if (pid_ > 0) {
    ::kill(pid_, signal);
    if (!ReadUntil("", 5'000)) ::kill(pid_, SIGKILL);  // its output ends when it exits
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  if (output_ >= 0) ::close(output_);
  output_ = -1;
  return printed_;
}

}  // namespace simlink_testing
