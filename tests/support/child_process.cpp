#include "child_process.h"

namespace {

const DWORD kKillLimitMs = 60000;  // the first Wine start in a fresh prefix is slow

struct DialogSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindDialogOf(HWND window, LPARAM lp) {
  auto* search = reinterpret_cast<DialogSearch*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner != search->process || std::string(name) != "#32770") return TRUE;
  search->found = window;
  return FALSE;
}

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

HWND ChildProcess::Dialog() const {
  if (!Started()) return NULL;
  DialogSearch search{info_.dwProcessId, NULL};
  EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
