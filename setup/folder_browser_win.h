// The shell's folder browser, opened at a given folder.
#pragma once
#include <windows.h>

#include <string>

// Shows the browser owned by `owner`, rooted at the computer folder and opened at `path`.
// Returns 1 and sets `path` to the chosen folder, or 0 when the user cancelled.
int BrowseForFolder(HWND owner, std::string& path, const std::string& title);
