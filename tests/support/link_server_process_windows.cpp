#include <gtest/gtest.h>
#include <windows.h>

#include "platform/process.h"
#include "simlink/fs_connect.h"
#include "support/link_server_process.h"

namespace testing_support {

// Started through the runner's own platform layer. Wine's desktop process, started by the server's
// first window, may hold the pipe as long as Wine runs, so the end of the output is never waited for.
LinkServerProcess::LinkServerProcess(const std::string& namespacePrefix, const std::vector<std::string>& options)
    : windowClass_(namespacePrefix + std::string(simlink::kServerClass)) {
  std::string commandLine = "\"" PARKMARQ_LINKSERVER_PATH "\" --namespace " + namespacePrefix;
  for (const auto& option : options) commandLine += " " + option;
  if (platform::CreatePipe(pipe_) != 0 || !platform::StartChild(commandLine, pipe_.writeEnd)) {
    ADD_FAILURE() << "cannot start the link server";
  }
  pipe_.writeEnd.Close();
  if (!ReadUntil("ready", 20'000)) ADD_FAILURE() << "the link server did not get ready: " << printed_;
}

std::string LinkServerProcess::Stop(int) {
  const HWND window = ::FindWindowA(windowClass_.c_str(), nullptr);
  if (window == nullptr) return printed_;
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  DWORD_PTR ignored = 0;
  if (::SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) == 0) {
    const HANDLE hung = ::OpenProcess(PROCESS_TERMINATE, FALSE, process);
    ::TerminateProcess(hung, 1);
    ::CloseHandle(hung);
  } else {
    static_cast<void>(ReadUntil("stopped:", 20'000));
  }
  return printed_;
}

}  // namespace testing_support
