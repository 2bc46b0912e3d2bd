#include "master_library_win.h"

#include "library_export_win.h"

const char* FindExports(HMODULE library, MasterExports& e) {
  const char* missing = nullptr;
  FindExport(library, "_init", e.init, missing);
  FindExport(library, "_deinit", e.deinit, missing);
  FindExport(library, "_find_window", e.find_window, missing);
  FindExport(library, "_marker_send", e.marker_send, missing);
  FindExport(library, "_get_crc", e.get_crc, missing);
  FindExport(library, "_image_clear", e.image_clear, missing);
  FindExport(library, "_image_set", e.image_set, missing);
  FindExport(library, "_image_append", e.image_append, missing);
  FindExport(library, "_image_send", e.image_send, missing);
  return missing;
}
