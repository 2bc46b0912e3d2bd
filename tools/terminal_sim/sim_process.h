// What both roles of the simulator share: where their library is and how they are stopped.
#pragma once
#include <atomic>
#include <string>

// The path of `file_name` in the simulator's own folder, where the build puts the libraries.
std::string LibraryBesideProgram(const char* file_name);

// Set by Ctrl+C (or Ctrl+Break) once StopOnConsoleControl() has been called.
extern std::atomic<bool> g_stop;
void StopOnConsoleControl();
