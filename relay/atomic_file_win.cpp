#include <windows.h>

#include "atomic_file.h"

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string written = path + ".new";
  HANDLE file = CreateFileA(written.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, NULL) &&
            done == bytes.size() && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  // Unlike rename(), MoveFileEx replaces a file that exists, in one step.
  if (ok && MoveFileExA(written.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileA(written.c_str());
  return false;
}
