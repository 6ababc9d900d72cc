// Started by a test with descriptors 0, 1 and 2 closed, as a desktop launcher may start the window.
// Runs runner_child through DOSOutputs and writes what it saw to the report file named by argv[1];
// argv[2] is the path of runner_child.
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "runner/dos_outputs.h"

namespace {

bool IsClosed(int fd) {
  return fcntl(fd, F_GETFD) == -1;
}

class CollectedMessages : public runner::RunnerMessages {
 public:
  void ShowMessage(const std::string& text) override { texts += text + ";"; }
  std::string texts;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const bool closedAtStart = IsClosed(0) && IsClosed(1) && IsClosed(2);
  // Takes descriptor 0, so the pipe gets 1 and 2 unless the runner keeps clear of them.
  const int report = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (report < 0) return 3;

  CollectedMessages messages;
  runner::DOSOutputs dos(messages);
  std::string chunks;
  dos.ConnectReceiveOutputs([&chunks](std::string& chunk) { chunks += chunk; });
  const std::string child = std::string("\"") + argv[2] + "\" ";
  std::string text = "closed at start: " + std::to_string(closedAtStart) + "\n";
  text += dos.ExecuteCommand(child + "both 3");
  text += "chunks match: " + std::to_string(chunks == dos.Outputs()) + "\n";
  text += dos.ExecuteCommand(child + "stdin");
  text += "closed after: " + std::to_string(IsClosed(1) && IsClosed(2)) + "\n";
  text += "messages: " + messages.texts + "\n";
  const bool written = write(report, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(report);
  return written ? 0 : 4;
}
