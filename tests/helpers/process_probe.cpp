#include "helpers/process_probe.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace test_helpers {
namespace {

struct ChildState {
  pid_t parent = 0;
  char state = '\0';
};

// Fields 3 and 4 of /proc/<pid>/stat; the command name before them may hold blanks and ")".
ChildState ReadStat(const std::filesystem::path& stat) {
  std::ifstream in(stat);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return {};
  std::istringstream fields(text.substr(close + 1));
  ChildState result;
  fields >> result.state >> result.parent;
  return result;
}

template <typename Predicate>
std::size_t CountChildren(Predicate predicate) {
  std::size_t count = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const ChildState child = ReadStat(entry.path() / "stat");
    if (child.parent == getpid() && predicate(child.state)) ++count;
  }
  return count;
}

}  // namespace

std::string RunnerChildPath() {
  return RUNNER_CHILD_PATH;
}
std::string ClosedStdParentPath() {
  return CLOSED_STD_PARENT_PATH;
}

std::string ChildCommand(const std::string& arguments) {
  return "\"" + RunnerChildPath() + "\" " + arguments;
}

std::size_t OpenDescriptorCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count - 1;  // the listing's own descriptor
}

std::size_t ZombieChildCount() {
  return CountChildren([](char state) { return state == 'Z'; });
}

std::size_t RunningChildCount() {
  return CountChildren([](char state) { return state != 'Z' && state != 'X'; });
}

bool WaitUntilNoChildRuns(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (RunningChildCount() > 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

char ProcessState(pid_t pid) {
  return ReadStat(std::filesystem::path("/proc") / std::to_string(pid) / "stat").state;
}

int RunWithStandardStreamsClosed(const std::string& program, const std::vector<std::string>& arguments,
                                 std::chrono::milliseconds timeout) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd = 0; fd <= 2; ++fd) posix_spawn_file_actions_addclose(&actions, fd);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  const int error = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return -1;

  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Watchdog::Watchdog(std::chrono::seconds limit) {
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  thread_ = std::thread([this, limit] {
    std::unique_lock lock(mutex_);
    if (!stop_.wait_for(lock, limit, [this] { return stopping_; })) {
      std::fprintf(stderr, "watchdog: the test did not finish within %lld s\n", static_cast<long long>(limit.count()));
      std::_Exit(124);
    }
  });
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

Watchdog::~Watchdog() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_.notify_one();
  thread_.join();
}

}  // namespace test_helpers
