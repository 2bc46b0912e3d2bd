// What the Windows benchmark programs share: a clock in milliseconds and the folder they run from.
#pragma once
#include <windows.h>

#include <string>

namespace bench {

// Milliseconds from the performance counter.
inline double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The folder of the running program, with its trailing separator; empty when unknown.
inline std::string BinFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
  std::string folder(path, n < sizeof path ? n : 0);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

}  // namespace bench
