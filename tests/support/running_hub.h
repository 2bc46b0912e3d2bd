// A real Varnick.exe started by a test.
#pragma once
#include <windows.h>

#include <string>

#include "child_process.h"
#include "temp_folder.h"

// A Varnick.exe copied into a fresh temporary folder beside its own qelv.xml and started
// there. The destructor ends the process and removes the folder, also when a test fails.
class RunningHub {
 public:
  // `settings` is the text of qelv.xml; nullptr leaves the file out.
  explicit RunningHub(const char* settings);
  RunningHub(const RunningHub&) = delete;
  RunningHub& operator=(const RunningHub&) = delete;

  // Polls until the hub's hidden window of `channel` exists and answers its owner, the hub
  // endpoint; 0 when the process ended or nothing came within the limit.
  HWND WaitForEndpoint(const std::string& channel);
  // Waits a bounded time for the process to end; true when it did.
  bool WaitForExit();
  DWORD ProcessId() const { return process_.Id(); }
  HANDLE Process() const { return process_.Handle(); }
  bool Started() const { return process_.Started(); }

 private:
  TempFolder folder_;  // outlives the process, which is ended first
  ChildProcess process_;
};

// qelv.xml naming `channel`, with the default layout.
std::string SettingsFor(const std::string& channel);
// A channel id of this test process that no other test uses.
std::string UniqueChannel(const char* name);
