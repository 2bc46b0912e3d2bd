// A program that runs beside a test, its output kept for the test to read.
#pragma once
#include <windows.h>

#include <string>

#include "child_process.h"
#include "temp_file.h"

// A program started with its standard output going to a file of its own; ended and its file
// removed when the object goes, also when a test fails.
class SpawnedProgram {
 public:
  explicit SpawnedProgram(const std::string& command_line);

  bool Started() const { return process_.Started(); }
  DWORD ProcessId() const { return process_.Id(); }
  bool Running() const { return process_.Running(); }
  // Ends the process at once, as a crash would: it sends nothing more.
  void Kill() { process_.Kill(); }
  // What it printed so far, with line feeds as line ends.
  std::string Output() const;
  // Polls the output until it holds `text`; false after `limit_ms`.
  bool WaitForOutput(const std::string& text, DWORD limit_ms) const;

 private:
  TempFile output_;  // outlives the process, which is ended first
  ChildProcess process_;
};
