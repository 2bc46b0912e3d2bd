#include "master_library_win.h"

namespace {

template <typename F>
void Find(HMODULE library, const char* name, F& f, const char*& missing) {
  f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  if (!f && !missing) missing = name;
}

}  // namespace

const char* FindExports(HMODULE library, MasterExports& e) {
  const char* missing = nullptr;
  Find(library, "_init", e.init, missing);
  Find(library, "_deinit", e.deinit, missing);
  Find(library, "_find_window", e.find_window, missing);
  Find(library, "_marker_send", e.marker_send, missing);
  Find(library, "_get_crc", e.get_crc, missing);
  Find(library, "_image_clear", e.image_clear, missing);
  Find(library, "_image_set", e.image_set, missing);
  Find(library, "_image_append", e.image_append, missing);
  Find(library, "_image_send", e.image_send, missing);
  return missing;
}
