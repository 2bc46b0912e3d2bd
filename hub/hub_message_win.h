// The hub's reports: plain message boxes, no log.
#pragma once
#include <windows.h>

// Shows `text` with an OK button only.
void ShowHubMessage(HWND owner, const char* text);

// Shows `format` filled in with the error code, its system text and `path` (used by the
// formats that name a file).
void ShowHubError(const char* format, DWORD code, const char* path = "");
