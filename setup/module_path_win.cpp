#include <windows.h>

#include "module_path.h"
#include "setup_paths.h"

unsigned long GetModulePath(std::string& path) {
  // Larger than a path buffer, so that a path too long for one is seen whole and refused.
  char buffer[MAX_PATH * 2];
  DWORD length = GetModuleFileNameA(NULL, buffer, sizeof buffer);
  if (length == 0) return GetLastError();
  path.assign(buffer, length);
  if (length >= sizeof buffer || !FitsPathBuffer(path)) return ERROR_FILENAME_EXCED_RANGE;
  return 0;
}
