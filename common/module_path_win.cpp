#include <windows.h>

#include "module_path.h"

static_assert(kModulePathTooLong == ERROR_INSUFFICIENT_BUFFER);

unsigned long GetModulePath(std::string& path) {
  // Larger than a path buffer, so that a path too long for one is seen whole and refused rather
  // than cut into the path of another file.
  char buffer[MAX_PATH * 2];
  DWORD length = GetModuleFileNameA(NULL, buffer, sizeof buffer);
  if (length == 0) return GetLastError();
  path.assign(buffer, length);
  return length >= MAX_PATH ? kModulePathTooLong : 0;
}
