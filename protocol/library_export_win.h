// A loaded library's exports, each found by its exact name and typed by its prototype.
#pragma once
#include <windows.h>

// Sets `f` to the export `name` of `library`, or to null; keeps in `missing` the first name
// that was not found.
template <typename F>
void FindExport(HMODULE library, const char* name, F& f, const char*& missing) {
  f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  if (!f && !missing) missing = name;
}
