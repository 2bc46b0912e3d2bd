// Exports of the slave bridge library. Each one translates its arguments and calls the portable
// model and cursor or the link; none of them throws.
#include <windows.h>

#include "image_checksum.h"
#include "image_cursor.h"
#include "image_set_split.h"
#include "slave_exports.h"
#include "slave_link_win.h"
#include "window_value_win.h"

namespace {

ImageSet g_set;
ImageCursor g_cursor(g_set);

TextBuffer Bytes(unsigned char* bytes, int size) { return {reinterpret_cast<char*>(bytes), size}; }

}  // namespace

extern "C" {

int __stdcall slave_images_split() { return SplitImageSet(slave_link::ReceivedText(), g_set); }

int __stdcall slave_images_total() { return g_cursor.ImagesTotal(); }

int __stdcall slave_images_get_info(int* master_count, int* slave_count) {
  return g_cursor.GetCounts(master_count, slave_count);
}

int __stdcall slave_image_select(int index) { return g_cursor.SelectImage(index); }

int __stdcall slave_image_get_info(TextSlot* channel_id, TextSlot* login) {
  return g_cursor.GetImageInfo(channel_id, login);
}

int __stdcall slave_orders_total(int pool) { return g_cursor.OrdersTotal(pool); }

int __stdcall slave_order_select(int index, int pool) { return g_cursor.SelectOrder(index, pool); }

int __stdcall slave_order_get(int* num1, int* num2, int* type, double* lots, TextSlot* symbol,
                              double* price6, double* price7, double* price8, int* close_time,
                              double* close_price, int* num11, int* num12, TextSlot* comment) {
  return g_cursor.GetOrder({num1, num2, type, lots, symbol, price6, price7, price8, close_time,
                            close_price, num11, num12, comment});
}

int __stdcall slave_image_get_info_a(unsigned char* channel_id, int channel_id_size,
                                     unsigned char* login, int login_size) {
  return g_cursor.GetImageInfo(Bytes(channel_id, channel_id_size), Bytes(login, login_size));
}

int __stdcall slave_order_get_a(int* num1, int* num2, int* type, double* lots,
                                unsigned char* symbol, int symbol_size, double* price6,
                                double* price7, double* price8, int* close_time,
                                double* close_price, int* num11, int* num12,
                                unsigned char* comment, int comment_size) {
  return g_cursor.GetOrder(OrderBytesOut{num1, num2, type, lots, Bytes(symbol, symbol_size),
                                         price6, price7, price8, close_time, close_price, num11,
                                         num12, Bytes(comment, comment_size)});
}

int __stdcall slave_init(int window, int) {
  slave_link::Attach(WindowFromValue(window));
  return 0;
}

int __stdcall slave_deinit(int window, int instance) {
  return slave_link::Detach(WindowFromValue(window), instance);
}

int __stdcall slave_find_window(const char* class_name) {
  return WindowValue(slave_link::FindHub(class_name));
}

int __stdcall slave_marker_send(int window, int instance) {
  return slave_link::SendMarker(WindowFromValue(window), instance);
}

int __stdcall slave_get_crc() { return slave_link::PublishedChecksum(); }

int __stdcall slave_images_get(int window) {
  return slave_link::RequestImageSet(WindowFromValue(window));
}

int __stdcall slave_images_calc_crc() {
  const std::string& text = slave_link::ReceivedText();
  return static_cast<int>(image_checksum(text.data(), static_cast<int32_t>(text.size())));
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // At process exit (reserved set) no message will reach the chart any more.
  if (reason == DLL_PROCESS_DETACH && !reserved) slave_link::ReleaseOnUnload();
  return TRUE;
}
