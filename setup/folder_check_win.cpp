#include <windows.h>

#include "folder_check.h"
#include "setup_paths.h"

bool IsFolder(const std::string& path) {
  if (!FitsPathBuffer(path)) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
