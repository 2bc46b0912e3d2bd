#include "run_program.h"

#include "child_process.h"
#include "poll_until.h"

namespace {

const DWORD kExitLimitMs = 60000;

}  // namespace

bool RunProgram(const std::string& command_line, DWORD& exit_code, std::string& output) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, NULL, TRUE};
  HANDLE read_end, write_end;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return false;
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  ChildProcess process;
  const bool started = process.StartWithHandles(command_line, write_end, GetStdHandle(STD_ERROR_HANDLE),
                                                GetStdHandle(STD_INPUT_HANDLE));
  CloseHandle(write_end);
  if (!started) {
    CloseHandle(read_end);
    return false;
  }
  // Polls the pipe rather than blocking on it, so that a program that never ends cannot
  // hold the test.
  output.clear();
  bool ended = false;
  PollUntil(kExitLimitMs, [&] {
    ended = !process.Running();
    DWORD available = 0;
    while (PeekNamedPipe(read_end, NULL, 0, NULL, &available, NULL) && available > 0) {
      char piece[4096];
      DWORD got = 0;
      if (!ReadFile(read_end, piece, sizeof piece, &got, NULL) || got == 0) break;
      output.append(piece, got);
    }
    return ended;
  });
  CloseHandle(read_end);
  process.Kill();
  exit_code = process.ExitCode();
  return ended;
}
