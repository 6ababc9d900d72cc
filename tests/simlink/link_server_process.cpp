#include "simlink/link_server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace simlink_testing {

LinkServerProcess::LinkServerProcess(const std::string& namespacePrefix, const std::vector<std::string>& options) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe for the link server");
  std::vector<std::string> arguments{PARKMARQ_LINKSERVER_PATH, "--namespace", namespacePrefix};
  arguments.insert(arguments.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  const int error = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(ends[1]);
  output_ = ends[0];
  if (error != 0) {
    ::close(output_);
    throw std::runtime_error("cannot start " + arguments[0]);
  }
  ReadUntil("ready", 10'000);
  if (printed_.find("ready") == std::string::npos) {
    Stop();
    throw std::runtime_error("the link server did not get ready: " + printed_);
  }
}

LinkServerProcess::~LinkServerProcess() {
  Stop();
}

void LinkServerProcess::ReadUntil(const std::string& marker, int timeoutMilliseconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  while (marker.empty() || printed_.find(marker) == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) return;
    pollfd entry{output_, POLLIN, 0};
    if (::poll(&entry, 1, static_cast<int>(left)) <= 0) continue;
    char chunk[512];
    const ssize_t count = ::read(output_, chunk, sizeof chunk);
    if (count <= 0) return;
    printed_.append(chunk, static_cast<std::size_t>(count));
  }
}

std::string LinkServerProcess::Stop() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ReadUntil("", 5'000);  // to the end of its output, which comes when it exits
    int status = 0;
    for (int i = 0; i < 50 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (::waitpid(pid_, &status, WNOHANG) == 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    ::close(output_);
    output_ = -1;
  }
  return printed_;
}

int CountLines(const std::string& text, const std::string& needle) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.find(needle) != std::string::npos ? 1 : 0;
  return count;
}

}  // namespace simlink_testing
