#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/link_server_process.h"

namespace testing_support {

LinkServerProcess::LinkServerProcess(const std::string& namespacePrefix, const std::vector<std::string>& options) {
  std::vector<std::string> arguments{PARKMARQ_LINKSERVER_PATH, "--namespace", namespacePrefix};
  arguments.insert(arguments.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  if (platform::CreatePipe(pipe_) != 0) throw std::runtime_error("cannot make a pipe for the link server");
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(pipe_.writeEnd.Get(), STDOUT_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  pipe_.writeEnd.Close();
  if (!ReadUntil("ready", 10'000)) ADD_FAILURE() << "the link server did not get ready: " << Stop();
}

std::string LinkServerProcess::Stop(int signal) {
  if (pid_ > 0) {
    const auto pid = static_cast<pid_t>(pid_);
    ::kill(pid, signal);
    if (!ReadUntil("", 5'000)) ::kill(pid, SIGKILL);  // its output ends when it exits
    ::waitpid(pid, nullptr, 0);
    pid_ = -1;
  }
  pipe_.readEnd.Close();
  return printed_;
}

}  // namespace testing_support
