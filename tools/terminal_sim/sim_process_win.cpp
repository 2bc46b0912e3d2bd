#include "sim_process.h"

#include <windows.h>

std::atomic<bool> g_stop{false};

namespace {

BOOL WINAPI OnConsoleControl(DWORD) {
  g_stop = true;
  return TRUE;
}

}  // namespace

void StopOnConsoleControl() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

std::string LibraryBesideProgram(const char* file_name) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
  std::string folder(path, n < sizeof path ? n : 0);
  return folder.substr(0, folder.find_last_of("\\/") + 1) + file_name;
}
