#include "slave_library_win.h"

#include "library_export_win.h"

const char* FindExports(HMODULE library, SlaveExports& e) {
  const char* missing = nullptr;
  FindExport(library, "_images_split", e.images_split, missing);
  FindExport(library, "_images_total", e.images_total, missing);
  FindExport(library, "_images_get_info", e.images_get_info, missing);
  FindExport(library, "_image_select", e.image_select, missing);
  FindExport(library, "_image_get_info", e.image_get_info, missing);
  FindExport(library, "_orders_total", e.orders_total, missing);
  FindExport(library, "_order_select", e.order_select, missing);
  FindExport(library, "_order_get", e.order_get, missing);
  FindExport(library, "_image_get_info_a", e.image_get_info_a, missing);
  FindExport(library, "_order_get_a", e.order_get_a, missing);
  FindExport(library, "_init", e.init, missing);
  FindExport(library, "_deinit", e.deinit, missing);
  FindExport(library, "_find_window", e.find_window, missing);
  FindExport(library, "_qelv_marker_send", e.qelv_marker_send, missing);
  FindExport(library, "_qelv_get_crc", e.qelv_get_crc, missing);
  FindExport(library, "_qelv_images_get", e.qelv_images_get, missing);
  FindExport(library, "_images_calc_crc", e.images_calc_crc, missing);
  FindExport(library, "_qelv_wait_crc", e.qelv_wait_crc, missing);
  FindExport(library, "_copier_settings", e.copier_settings, missing);
  FindExport(library, "_copier_begin", e.copier_begin, missing);
  FindExport(library, "_copier_order_add", e.copier_order_add, missing);
  FindExport(library, "_copier_symbols_wanted", e.copier_symbols_wanted, missing);
  FindExport(library, "_copier_symbol_name", e.copier_symbol_name, missing);
  FindExport(library, "_copier_symbol_add", e.copier_symbol_add, missing);
  FindExport(library, "_copier_plan", e.copier_plan, missing);
  FindExport(library, "_copier_action_get", e.copier_action_get, missing);
  FindExport(library, "_copier_action_done", e.copier_action_done, missing);
  FindExport(library, "_copier_log_count", e.copier_log_count, missing);
  FindExport(library, "_copier_log_get", e.copier_log_get, missing);
  FindExport(library, "_copier_end", e.copier_end, missing);
  return missing;
}
