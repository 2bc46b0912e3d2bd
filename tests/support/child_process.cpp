#include "child_process.h"

namespace {

const DWORD kKillLimitMs = 60000;  // the first Wine start in a fresh prefix is slow

}  // namespace

ChildProcess::~ChildProcess() {
  if (!info_.hProcess) return;
  Kill();
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool ChildProcess::Start(const std::string& command_line, const char* folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return Create(command_line, FALSE, folder, startup);
}

bool ChildProcess::StartWithHandles(const std::string& command_line, HANDLE output, HANDLE error,
                                    HANDLE input) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = error;
  startup.hStdInput = input;
  return Create(command_line, TRUE, nullptr, startup);
}

bool ChildProcess::Create(const std::string& command_line, BOOL inherit, const char* folder,
                          STARTUPINFOA& startup) {
  std::string command = command_line;  // CreateProcessA may write into it
  if (CreateProcessA(NULL, &command[0], NULL, NULL, inherit, 0, NULL, folder, &startup, &info_))
    return true;
  info_ = {};
  return false;
}

bool ChildProcess::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill() {
  if (!Running()) return;
  TerminateProcess(info_.hProcess, 99);
  WaitForSingleObject(info_.hProcess, kKillLimitMs);
}

bool ChildProcess::WaitForExit(DWORD limit_ms) {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, limit_ms) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}
