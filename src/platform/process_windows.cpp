#include <vector>

#include "platform/process.h"
#include "platform/win32_api.h"

namespace platform {
namespace {

// The list of the handles a child inherits: exactly one, so that of all the inheritable handles of
// this process (a pipe end of another run included) the child gets the one it was meant to.
class InheritedHandles {
 public:
  explicit InheritedHandles(HANDLE handle) : handle_(handle) {
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);  // fails by design, giving the size
    storage_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    if (::InitializeProcThreadAttributeList(list, 1, 0, &size) == 0) return;
    list_ = list;
    if (::UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle_, sizeof handle_, nullptr,
                                    nullptr) == 0) {
      Release();
    }
  }
  ~InheritedHandles() { Release(); }
  InheritedHandles(const InheritedHandles&) = delete;
  InheritedHandles& operator=(const InheritedHandles&) = delete;

  // nullptr when the list could not be made.
  [[nodiscard]] LPPROC_THREAD_ATTRIBUTE_LIST Get() const { return list_; }

 private:
  void Release() {
    if (list_ != nullptr) ::DeleteProcThreadAttributeList(list_);
    list_ = nullptr;
  }

  HANDLE handle_;  // UpdateProcThreadAttribute keeps a pointer to it
  std::vector<unsigned char> storage_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace

bool StartChild(const std::string& commandLine, const PipeEnd& output) {
  if (commandLine.empty() || commandLine.find('\0') != std::string::npos || !output.IsOpen()) return false;
  const InheritedHandles inherited(reinterpret_cast<HANDLE>(output.Get()));
  if (inherited.Get() == nullptr) return false;

  SECURITY_ATTRIBUTES security{};
  security.nLength = sizeof security;
  security.lpSecurityDescriptor = nullptr;
  security.bInheritHandle = TRUE;
  STARTUPINFOEXA startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.StartupInfo.wShowWindow = SW_HIDE;
  startup.StartupInfo.hStdInput = nullptr;
  startup.StartupInfo.hStdOutput = reinterpret_cast<HANDLE>(output.Get());
  startup.StartupInfo.hStdError = startup.StartupInfo.hStdOutput;
  startup.lpAttributeList = inherited.Get();
  PROCESS_INFORMATION child{};
  // The system finds the program from the line's first token and may write into the line it is given.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  const BOOL started = ::CreateProcessA(nullptr, line.data(), &security, &security, TRUE,
                                        NORMAL_PRIORITY_CLASS | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                                        &startup.StartupInfo, &child);
  if (started != TRUE) return false;
  // Nothing waits for the child or asks for its exit code, so its handles go at once.
  ::CloseHandle(child.hProcess);
  ::CloseHandle(child.hThread);
  return true;
}

void ReapEndedChildren() {}

}  // namespace platform
