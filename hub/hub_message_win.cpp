#include "hub_message_win.h"

#include <cstdio>
#include <string>

#include "system_error_text.h"

void ShowHubMessage(HWND owner, const char* text) { MessageBoxA(owner, text, "Varnick", MB_OK); }

void ShowHubError(const char* format, DWORD code, const char* path) {
  const std::string reason = SystemErrorText(code);
  char text[2048];
  std::snprintf(text, sizeof text, format, static_cast<int>(code), reason.c_str(), path);
  ShowHubMessage(0, text);
}
