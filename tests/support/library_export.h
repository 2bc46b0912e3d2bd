// A function exported by a loaded library, as the calling test declares it; null when absent.
#pragma once
#include <windows.h>

template <typename F>
F LibraryExport(HMODULE library, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
