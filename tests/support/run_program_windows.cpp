#include "platform/win32_api.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace testing_support {
namespace {

// One argument as the C runtime's command-line parser reads it back: quoted, with the backslashes
// before a quote (and at the end) doubled and every quote escaped.
std::string Quoted(const std::string& argument) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
                      int timeoutSeconds) {
  // Both streams go to one inheritable file, so the output keeps the order it was written in.
  const testing_support::TempFolder temp;
  const std::string outputPath = (temp.Path() / "output").string();
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE output = ::CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ProgramRun run;
  if (output == INVALID_HANDLE_VALUE) return run;

  std::string commandLine = Quoted(program);
  for (const auto& argument : arguments) commandLine += " " + Quoted(argument);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process{};
  const BOOL started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        folder.empty() ? nullptr : folder.c_str(), &startup, &process);
  ::CloseHandle(output);
  if (!started) return run;
  ::CloseHandle(process.hThread);
  DWORD exitCode = 0;
  if (::WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutSeconds) * 1000) == WAIT_OBJECT_0 &&
      ::GetExitCodeProcess(process.hProcess, &exitCode)) {
    run.exitStatus = static_cast<int>(exitCode);
  } else {
    ::TerminateProcess(process.hProcess, 1);
    ::WaitForSingleObject(process.hProcess, INFINITE);
  }
  ::CloseHandle(process.hProcess);
  run.output = testing_support::ReadAll(outputPath);
  return run;
}

}  // namespace testing_support
