// What the Windows benchmark programs share: a clock in milliseconds, the folder they run from and
// a hub's folder of their own.
#pragma once
#include <windows.h>

#include <string>

namespace bench {

// Milliseconds from the performance counter.
inline double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The folder of the running program, with its trailing separator; empty when unknown.
inline std::string BinFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
  std::string folder(path, n < sizeof path ? n : 0);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// A folder of its own in the temporary folder, named after `channel`, holding a copy of the hub
// (Varnick.exe from `bin`) and a qelv.xml naming the channel: the folder with its trailing
// separator, or empty when it cannot be made.
inline std::string PrepareHubFolder(const std::string& bin, const std::string& channel) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + channel + "\\";
  CreateDirectoryA(folder.c_str(), NULL);
  const std::string settings = "<root><window><channel_id>" + channel + "</channel_id></window></root>";
  HANDLE file = CreateFileA((folder + "qelv.xml").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return "";
  DWORD written = 0;
  const bool ok = WriteFile(file, settings.data(), static_cast<DWORD>(settings.size()), &written, NULL) &&
                  written == settings.size();
  CloseHandle(file);
  if (!ok || !CopyFileA((bin + "Varnick.exe").c_str(), (folder + "Varnick.exe").c_str(), FALSE)) return "";
  return folder;
}

}  // namespace bench
