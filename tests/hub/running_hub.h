// Test helpers around real Varnick.exe processes and the window messages of the link.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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

// Runs a program to its end (bounded); answers its exit code and its standard output.
bool RunProgram(const std::string& command_line, DWORD& exit_code, std::string& output);

// The test as a terminal: sends the link's messages to a hub endpoint with a generous time
// limit (a hung hub fails the test instead of hanging it) and receives image sets in a window
// of its own.
class TestTerminal {
 public:
  explicit TestTerminal(HWND hub);
  ~TestTerminal();

  // The hub's answer, or -2 when the message could not be delivered in time.
  LRESULT Send(const char* message, uint32_t window, int32_t instance);
  LRESULT SendImage(uint32_t window, const std::string& image);
  // Sends "S_GET_IMAGE" naming this terminal's window, or `receiver`.
  LRESULT RequestImageSet() { return RequestImageSetFor(window_); }
  LRESULT RequestImageSetFor(HWND receiver);
  // The text of the last image set that reached this terminal's window.
  const std::string& LastImageSet() const;
  int ImageSetsReceived() const;
  uint32_t PublishedChecksum() const;
  HWND Window() const { return window_; }

 private:
  HWND hub_;
  HWND window_;
};

uint32_t ChecksumOf(const std::string& text);
