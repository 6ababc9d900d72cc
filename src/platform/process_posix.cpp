#include "platform/process_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/program_launch.h"

extern char** environ;

namespace platform {
namespace {

// The lowest descriptor that is not a standard stream.
constexpr int kFirstNonStandardDescriptor = STDERR_FILENO + 1;

constexpr char kBlanks[] = " \t";
constexpr char kQuote = '"';
constexpr char kSearchPathSeparator = ':';

// The children that were started and not yet reaped. Guarded, since different threads may each
// run commands of their own.
struct ChildRegistry {
  std::mutex mutex;
  std::vector<pid_t> unreaped;
};

ChildRegistry& Children() {
  static ChildRegistry registry;
  return registry;
}

[[nodiscard]] bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

[[nodiscard]] std::string SearchPath() {
  if (const char* path = std::getenv("PATH")) return path;
  std::string fallback(::confstr(_CS_PATH, nullptr, 0), '\0');
  if (fallback.empty()) return {};
  ::confstr(_CS_PATH, fallback.data(), fallback.size());
  fallback.pop_back();  // the terminating NUL that confstr counts and writes
  return fallback;
}

class SpawnActions {
 public:
  SpawnActions() { ok_ = ::posix_spawn_file_actions_init(&actions_) == 0; }
  ~SpawnActions() {
    if (ok_) ::posix_spawn_file_actions_destroy(&actions_);
  }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;

  // Standard output and error onto output, standard input from /dev/null, and nothing else: a
  // descriptor another part of the program left inheritable must not keep some pipe open.
  [[nodiscard]] bool Prepare(int output) {
    return ok_ && ::posix_spawn_file_actions_adddup2(&actions_, output, STDOUT_FILENO) == 0 &&
           ::posix_spawn_file_actions_adddup2(&actions_, output, STDERR_FILENO) == 0 &&
           ::posix_spawn_file_actions_addclosefrom_np(&actions_, kFirstNonStandardDescriptor) == 0 &&
           ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0;
  }
  [[nodiscard]] const posix_spawn_file_actions_t* Get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_{};
  bool ok_ = false;
};

class SpawnAttributes {
 public:
  SpawnAttributes() { ok_ = ::posix_spawnattr_init(&attributes_) == 0; }
  ~SpawnAttributes() {
    if (ok_) ::posix_spawnattr_destroy(&attributes_);
  }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;

  // A program inherits ignored signals and the signal mask; a console tool must not start with
  // SIGPIPE ignored or SIGINT blocked just because its parent chose so.
  [[nodiscard]] bool Prepare() {
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    return ok_ && ::posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
           ::posix_spawnattr_setsigdefault(&attributes_, &all) == 0 &&
           ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
  }
  [[nodiscard]] const posix_spawnattr_t* Get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_{};
  bool ok_ = false;
};

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (const char c : commandLine) {
    if (c == kQuote) {
      quoted = !quoted;
      inArgument = true;
    } else if (!quoted && std::string_view(kBlanks).find(c) != std::string_view::npos) {
      if (inArgument) arguments.push_back(std::move(current));
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) arguments.push_back(std::move(current));
  return arguments;
}

std::string FindProgram(const std::string& name) {
  if (name.empty()) return {};
  if (name.find(kPathSeparator) != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  const std::string searchPath = SearchPath();
  std::string_view rest = searchPath;
  for (;;) {
    const std::size_t end = rest.find(kSearchPathSeparator);
    const std::string_view folder = rest.substr(0, end);
    std::string candidate = JoinPath(folder.empty() ? std::string_view(".") : folder, name);
    if (IsExecutableFile(candidate)) return candidate;
    if (end == std::string_view::npos) return {};
    rest.remove_prefix(end + 1);
  }
}

bool StartChild(const std::string& commandLine, const PipeEnd& output) {
  ReapEndedChildren();
  if (output.Get() < kFirstNonStandardDescriptor || commandLine.find('\0') != std::string::npos) return false;
  const std::vector<std::string> requested = SplitCommandLine(commandLine);
  if (requested.empty()) return false;
  const auto launch = LaunchFor(requested);
  const auto& arguments = launch.arguments;
  const std::string program = FindProgram(arguments.front());
  if (program.empty()) return false;

  SpawnActions actions;
  SpawnAttributes attributes;
  if (!actions.Prepare(static_cast<int>(output.Get())) || !attributes.Prepare()) return false;
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> environment;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) environment.push_back(*entry);
  for (const std::string& entry : launch.environment) environment.push_back(const_cast<char*>(entry.c_str()));
  environment.push_back(nullptr);

  // Holding the lock across the spawn keeps a concurrent ReapEndedChildren from missing this
  // child; glibc reports a failed exec as an error here and reaps that child itself.
  ChildRegistry& children = Children();
  const std::lock_guard lock(children.mutex);
  children.unreaped.reserve(children.unreaped.size() + 1);
  pid_t child = 0;
  if (::posix_spawn(&child, program.c_str(), actions.Get(), attributes.Get(), argv.data(), environment.data()) != 0)
    return false;
  children.unreaped.push_back(child);
  return true;
}

void ReapEndedChildren() {
  ChildRegistry& children = Children();
  const std::lock_guard lock(children.mutex);
  std::erase_if(children.unreaped, [](pid_t child) {
    int status = 0;
    pid_t result = 0;
    do {
      result = ::waitpid(child, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    // ECHILD: someone else already collected it, so there is nothing left to wait for.
    return result == child || (result < 0 && errno == ECHILD);
  });
}

}  // namespace platform
