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
  FindExport(library, "_mt5_begin", e.mt5_begin, missing);
  FindExport(library, "_mt5_history_begin", e.mt5_history_begin, missing);
  FindExport(library, "_mt5_position_add", e.mt5_position_add, missing);
  FindExport(library, "_mt5_order_add", e.mt5_order_add, missing);
  FindExport(library, "_mt5_deal_add", e.mt5_deal_add, missing);
  FindExport(library, "_mt5_finished_order_add", e.mt5_finished_order_add, missing);
  FindExport(library, "_mt5_build", e.mt5_build, missing);
  FindExport(library, "_mt5_image_order_get", e.mt5_image_order_get, missing);
  return missing;
}
