// Exports of the master bridge library. Each one translates its arguments and calls the
// portable image code or the link; nothing throws out of here.
#include <windows.h>

#include "link_endpoint_win.h"
#include "link_protocol.h"
#include "master_exports.h"
#include "master_image.h"
#include "window_value_win.h"

namespace {

struct MasterState {
  LinkEndpoint hub;
  UINT marker_msg = 0;
  UINT detach_msg = 0;
  MasterImage image;
};
MasterState g;

std::string_view Text(const char* s) { return s ? std::string_view(s) : std::string_view(); }

}  // namespace

extern "C" {

int __stdcall master_init(int, int) {
  g.marker_msg = RegisterWindowMessageA(link::kMasterMarker);
  g.detach_msg = RegisterWindowMessageA(link::kMasterDetach);
  return 0;
}

int __stdcall master_deinit(int window, int instance) {
  return g.hub.Send(g.detach_msg, window, instance);
}

int __stdcall master_find_window(const char* class_name) {
  return WindowValue(g.hub.FindHub(class_name));
}

int __stdcall master_marker_send(int window, int instance) {
  return g.hub.Send(g.marker_msg, window, instance);
}

int __stdcall master_get_crc() {
  try {
    return static_cast<int>(g.image.Checksum());
  } catch (...) {
    return 0;
  }
}

void __stdcall master_image_clear() { g.image.Clear(); }

void __stdcall master_image_set(const char* channel_id, const char* login) {
  try {
    g.image.Set(Text(channel_id), Text(login));
  } catch (...) {
  }
}

void __stdcall master_image_append(int pool, int price_digits, int lots_digits, int num1,
                                   int num2, int type, double lots, const char* symbol,
                                   double price6, double price7, double price8, int close_time,
                                   double close_price, int num11, int num12,
                                   const char* comment) {
  try {
    OrderFields o{num1,       num2,        type,  lots,  Text(symbol), price6, price7,
                  price8,     close_time,  close_price, num11, num12,  Text(comment)};
    g.image.Append(pool, price_digits, lots_digits, o);
  } catch (...) {
  }
}

void __stdcall master_image_send(int window) {
  // Not Alive(): it would cost the road a round trip to the window server, and a send to a
  // hub that has ended is without effect all the same.
  if (!g.hub.Found()) return;
  try {
    std::string text = g.image.Text();
    g.hub.SendCopyData(window, text.data(), text.size());
  } catch (...) {
  }
}

}  // extern "C"
