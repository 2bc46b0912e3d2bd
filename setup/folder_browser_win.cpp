#include "folder_browser_win.h"

#include <shlobj.h>

#include <cstring>

#include "setup_paths.h"

namespace {

// Once the browser is up, select the folder the buffer names.
int CALLBACK SelectStartFolder(HWND browser, UINT msg, LPARAM, LPARAM buffer) {
  if (msg == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, buffer);
  return 0;
}

}  // namespace

int BrowseForFolder(HWND owner, std::string& path, const std::string& title) {
  // The browser's new dialog style needs COM on this thread.
  HRESULT com = CoInitialize(NULL);
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) {
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
  }
  // A path too long for the buffer is not cut into another folder: the browser opens unselected.
  char buffer[MAX_PATH] = "";
  if (FitsPathBuffer(path)) std::strcpy(buffer, path.c_str());

  LPITEMIDLIST computer = nullptr;
  SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &computer);
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pidlRoot = computer;
  info.pszDisplayName = buffer;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = SelectStartFolder;
  info.lParam = reinterpret_cast<LPARAM>(buffer);
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (chosen) {
    // Without a file-system path the buffer keeps the display name the browser left in it.
    SHGetPathFromIDListA(chosen, buffer);
    allocator->Free(chosen);
  }
  if (computer) allocator->Free(computer);
  allocator->Release();
  if (SUCCEEDED(com)) CoUninitialize();
  if (!chosen) return 0;
  path = buffer;
  return 1;
}
