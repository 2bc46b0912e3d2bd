// Exports of the slave bridge library. Each one translates its arguments and calls the portable
// model, cursor and copier or the link; none of them throws. Those that use the text held, the
// model, the cursor or the copier take the library's lock, as every expert of the terminal calls
// from a thread of its own.
#include <windows.h>

#include <mutex>

#include "copier_experts.h"
#include "image_checksum.h"
#include "image_cursor.h"
#include "image_set_split.h"
#include "library_lock.h"
#include "slave_exports.h"
#include "slave_link_win.h"
#include "window_value_win.h"

namespace {

ImageSet g_set;
ImageCursor g_cursor(g_set);
CopierExperts g_copiers;

TextBuffer Bytes(unsigned char* bytes, int size) { return {reinterpret_cast<char*>(bytes), size}; }
TextIn Input(const unsigned char* bytes, int size) { return {reinterpret_cast<const char*>(bytes), size}; }

// Runs `f` under the library's lock; `failure` when anything throws.
template <typename F>
int Locked(int failure, F f) noexcept {
  try {
    std::lock_guard<std::mutex> lock(LibraryLock());
    return f();
  } catch (...) {
    return failure;
  }
}

// Runs `f`; `failure` when anything throws.
template <typename F>
int Guarded(int failure, F f) noexcept {
  try {
    return f();
  } catch (...) {
    return failure;
  }
}

}  // namespace

extern "C" {

int __stdcall slave_images_split() {
  return Locked(0, [] { return SplitImageSet(slave_link::ReceivedText(), g_set); });
}

int __stdcall slave_images_total() {
  return Locked(0, [] { return g_cursor.ImagesTotal(); });
}

int __stdcall slave_images_get_info(int* master_count, int* slave_count) {
  return Locked(0, [&] { return g_cursor.GetCounts(master_count, slave_count); });
}

int __stdcall slave_image_select(int index) {
  return Locked(0, [&] { return g_cursor.SelectImage(index); });
}

int __stdcall slave_image_get_info(TextSlot* channel_id, TextSlot* login) {
  return Locked(0, [&] { return g_cursor.GetImageInfo(channel_id, login); });
}

int __stdcall slave_orders_total(int pool) {
  return Locked(0, [&] { return g_cursor.OrdersTotal(pool); });
}

int __stdcall slave_order_select(int index, int pool) {
  return Locked(0, [&] { return g_cursor.SelectOrder(index, pool); });
}

int __stdcall slave_order_get(int* num1, int* num2, int* type, double* lots, TextSlot* symbol,
                              double* price6, double* price7, double* price8, int* close_time,
                              double* close_price, int* num11, int* num12, TextSlot* comment) {
  return Locked(0, [&] {
    return g_cursor.GetOrder(OrderOut{num1, num2, type, lots, symbol, price6, price7, price8,
                                      close_time, close_price, num11, num12, comment});
  });
}

int __stdcall slave_image_get_info_a(unsigned char* channel_id, int channel_id_size,
                                     unsigned char* login, int login_size) {
  return Locked(0, [&] {
    return g_cursor.GetImageInfo(Bytes(channel_id, channel_id_size), Bytes(login, login_size));
  });
}

int __stdcall slave_order_get_a(int* num1, int* num2, int* type, double* lots,
                                unsigned char* symbol, int symbol_size, double* price6,
                                double* price7, double* price8, int* close_time,
                                double* close_price, int* num11, int* num12,
                                unsigned char* comment, int comment_size) {
  return Locked(0, [&] {
    return g_cursor.GetOrder(OrderBytesOut{num1, num2, type, lots, Bytes(symbol, symbol_size),
                                           price6, price7, price8, close_time, close_price, num11,
                                           num12, Bytes(comment, comment_size)});
  });
}

int __stdcall slave_init(int window, int) {
  slave_link::Attach(WindowFromValue(window));
  return 0;
}

int __stdcall slave_deinit(int window, int instance) {
  return slave_link::Detach(WindowFromValue(window), instance);
}

int __stdcall slave_find_window(const char* class_name) {
  return Guarded(0, [&] { return WindowValue(slave_link::FindHub(class_name)); });
}

int __stdcall slave_marker_send(int window, int instance) {
  return slave_link::SendMarker(WindowFromValue(window), instance);
}

int __stdcall slave_get_crc() { return slave_link::PublishedChecksum(); }

int __stdcall slave_images_get(int window) {
  return Guarded(-1, [&] { return slave_link::RequestImageSet(WindowFromValue(window)); });
}

int __stdcall slave_images_calc_crc() {
  return Locked(0, [] {
    const std::string& text = slave_link::ReceivedText();
    return static_cast<int>(image_checksum(text.data(), static_cast<int32_t>(text.size())));
  });
}

int __stdcall slave_wait_crc(int held_crc, int timeout_ms) {
  return Guarded(-1, [&] { return slave_link::WaitForPublished(held_crc, timeout_ms); });
}

int __stdcall slave_copier_settings(int expert, unsigned char* text, int size) {
  return Locked(-1, [&] { return g_copiers.Settings(expert, Input(text, size)); });
}

int __stdcall slave_copier_begin(int expert, int now, int following_since) {
  return Locked(-1, [&] { return g_copiers.Begin(expert, now, following_since); });
}

int __stdcall slave_copier_order_add(int expert, int pool, int ticket, int type, double lots,
                                     unsigned char* symbol, int symbol_size, double open_price,
                                     double sl, double tp, int magic, int expiration) {
  SlaveOrder order;
  order.ticket = ticket;
  order.type = type;
  order.lots = lots;
  order.open_price = open_price;
  order.sl = sl;
  order.tp = tp;
  order.magic = magic;
  order.expiration = expiration;
  return Locked(-1, [&] { return g_copiers.OrderAdd(expert, pool, order, Input(symbol, symbol_size)); });
}

int __stdcall slave_copier_symbols_wanted(int expert) {
  return Locked(0, [&] { return g_copiers.SymbolsWanted(expert, g_set.images); });
}

int __stdcall slave_copier_symbol_name(int expert, int index, unsigned char* name, int size) {
  return Locked(0, [&] { return g_copiers.SymbolName(expert, index, Bytes(name, size)); });
}

int __stdcall slave_copier_symbol_add(int expert, unsigned char* name, int size, int exists,
                                      int digits, double point, double lot_min, double lot_max,
                                      double lot_step, int stops_level, double bid, double ask) {
  SymbolFacts facts;
  facts.exists = exists != 0;
  facts.digits = digits;
  facts.point = point;
  facts.lot_min = lot_min;
  facts.lot_max = lot_max;
  facts.lot_step = lot_step;
  facts.stops_level = stops_level;
  facts.bid = bid;
  facts.ask = ask;
  return Locked(-1, [&] { return g_copiers.SymbolAdd(expert, facts, Input(name, size)); });
}

int __stdcall slave_copier_plan(int expert) {
  return Locked(-1, [&] { return g_copiers.Plan(expert, g_set.images); });
}

int __stdcall slave_copier_action_get(int expert, int index, int* kind, int* ticket,
                                      unsigned char* symbol, int symbol_size, int* type,
                                      double* lots, double* price, double* sl, double* tp,
                                      int* expiration, int* magic, unsigned char* comment,
                                      int comment_size) {
  return Locked(0, [&] {
    return g_copiers.ActionGet(expert, index,
                               ActionOut{kind, ticket, Bytes(symbol, symbol_size), type, lots,
                                         price, sl, tp, expiration, magic,
                                         Bytes(comment, comment_size)});
  });
}

// The ticket of an open is not needed: the next pass reads the account afresh.
int __stdcall slave_copier_action_done(int expert, int index, int error, int) {
  return Locked(0, [&] { return g_copiers.ActionDone(expert, index, error); });
}

int __stdcall slave_copier_log_count(int expert) {
  return Locked(0, [&] { return g_copiers.LogCount(expert); });
}

int __stdcall slave_copier_log_get(int expert, int index, unsigned char* line, int size) {
  return Locked(0, [&] { return g_copiers.LogGet(expert, index, Bytes(line, size)); });
}

int __stdcall slave_copier_end(int expert) {
  return Locked(-1, [&] { return g_copiers.End(expert); });
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // At process exit (reserved set) no message will reach the chart any more.
  if (reason == DLL_PROCESS_DETACH && !reserved) slave_link::ReleaseOnUnload();
  return TRUE;
}
