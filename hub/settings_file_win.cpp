#include "settings_file_win.h"

#include <windows.h>

#include "hub_message_win.h"

void LoadXml(const std::string& path, HubSettings& settings) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    ShowHubError("LoadXml: CreateFile failed \r\nErrorCode: %d \r\nErrorMessage: %s \r\nPath: %s",
                 GetLastError(), path.c_str());
    return;
  }
  std::string bytes;
  char piece[1023];
  DWORD got = 0;
  while (ReadFile(file, piece, sizeof piece, &got, NULL) && got > 0) bytes.append(piece, got);
  CloseHandle(file);
  settings = ReadHubSettings(bytes);
}
