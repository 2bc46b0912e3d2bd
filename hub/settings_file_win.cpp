#include "settings_file.h"

#include <windows.h>

#include "hub_message_win.h"
#include "whole_file.h"

void LoadXml(const std::string& path, HubSettings& settings) {
  std::string bytes;
  if (DWORD code = ReadWholeFile(path, bytes)) {
    ShowHubError("LoadXml: CreateFile failed \r\nErrorCode: %d \r\nErrorMessage: %s \r\nPath: %s",
                 code, path.c_str());
    return;
  }
  settings = ReadHubSettings(bytes);
}
