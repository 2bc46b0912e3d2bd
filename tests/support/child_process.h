// A program a test starts; ended by force if it still runs when the object goes, also when the
// test fails.
#pragma once
#include <windows.h>

#include <string>

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `command_line` in `folder` (nullptr: the test's own) with nothing inherited.
  bool Start(const std::string& command_line, const char* folder = nullptr);
  // Starts `command_line` with its standard handles given (and inherited).
  bool StartWithHandles(const std::string& command_line, HANDLE output, HANDLE error, HANDLE input);

  bool Started() const { return info_.hProcess != NULL; }
  bool Running() const;
  // Ends the process at once, as a crash would, and waits a bounded time for it to go.
  void Kill();
  // Waits a bounded time for the end; true when it came.
  bool WaitForExit(DWORD limit_ms);
  // The exit code, or STILL_ACTIVE while the process runs.
  DWORD ExitCode() const;
  DWORD Id() const { return info_.dwProcessId; }
  // A top-level dialog window of the process (class #32770), or 0 while it shows none.
  HWND Dialog() const;
  HANDLE Handle() const { return info_.hProcess; }

 private:
  bool Create(const std::string& command_line, BOOL inherit, const char* folder, STARTUPINFOA& startup);

  PROCESS_INFORMATION info_{};
};
