#include "slave_library_win.h"

namespace {

template <typename F>
void Find(HMODULE library, const char* name, F& f, const char*& missing) {
  f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  if (!f && !missing) missing = name;
}

}  // namespace

const char* FindExports(HMODULE library, SlaveExports& e) {
  const char* missing = nullptr;
  Find(library, "_images_split", e.images_split, missing);
  Find(library, "_images_total", e.images_total, missing);
  Find(library, "_images_get_info", e.images_get_info, missing);
  Find(library, "_image_select", e.image_select, missing);
  Find(library, "_image_get_info", e.image_get_info, missing);
  Find(library, "_orders_total", e.orders_total, missing);
  Find(library, "_order_select", e.order_select, missing);
  Find(library, "_order_get", e.order_get, missing);
  Find(library, "_image_get_info_a", e.image_get_info_a, missing);
  Find(library, "_order_get_a", e.order_get_a, missing);
  Find(library, "_init", e.init, missing);
  Find(library, "_deinit", e.deinit, missing);
  Find(library, "_find_window", e.find_window, missing);
  Find(library, "_qelv_marker_send", e.qelv_marker_send, missing);
  Find(library, "_qelv_get_crc", e.qelv_get_crc, missing);
  Find(library, "_qelv_images_get", e.qelv_images_get, missing);
  Find(library, "_images_calc_crc", e.images_calc_crc, missing);
  return missing;
}
