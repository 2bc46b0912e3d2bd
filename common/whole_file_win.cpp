#include <windows.h>

#include "whole_file.h"

unsigned long ReadWholeFile(const std::string& path, std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  std::string read;
  char chunk[1023];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, NULL) && got > 0) read.append(chunk, got);
  CloseHandle(file);
  bytes = std::move(read);
  return 0;
}
