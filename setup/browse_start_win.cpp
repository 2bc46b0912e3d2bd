#include <windows.h>

#include "browse_start.h"

std::string TerminalBrowseStart(const std::string& field) {
  char app_data[MAX_PATH] = "";
  // 0 when unset; the needed size, with nothing written, when it does not fit.
  const DWORD length = GetEnvironmentVariableA("APPDATA", app_data, sizeof app_data);
  return TerminalBrowseStart(field, length < sizeof app_data ? app_data : "", IsFolder);
}
