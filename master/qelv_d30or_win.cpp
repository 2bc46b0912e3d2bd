// Exports of the master bridge library. Each one translates its arguments and calls the
// portable image code, the MT5 account's image or the link; nothing throws out of here.
#include <windows.h>

#include "link_endpoint_win.h"
#include "link_protocol.h"
#include "master_exports.h"
#include "master_image.h"
#include "mt5_account_image.h"
#include "window_value_win.h"

namespace {

struct MasterState {
  LinkEndpoint hub;
  UINT marker_msg = 0;
  UINT detach_msg = 0;
  MasterImage image;
  mt5::AccountImage mt5_account;
};
MasterState g;

std::string_view Text(const char* s) { return s ? std::string_view(s) : std::string_view(); }

mt5::TextIn In(const unsigned char* bytes, int size) {
  return {reinterpret_cast<const char*>(bytes), size};
}
TextBuffer Out(unsigned char* bytes, int size) { return {reinterpret_cast<char*>(bytes), size}; }

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

int __stdcall mt5_begin() { return g.mt5_account.Begin(); }

int __stdcall mt5_history_begin() { return g.mt5_account.HistoryBegin(); }

int __stdcall mt5_position_add(long long identifier, int type, double volume,
                               const unsigned char* symbol, int symbol_size, double price_open,
                               double sl, double tp, long long time, long long magic,
                               const unsigned char* comment, int comment_size) {
  return Guarded(-1, [&] {
    mt5::Position p;
    p.identifier = identifier;
    p.type = type;
    p.volume = volume;
    p.price_open = price_open;
    p.sl = sl;
    p.tp = tp;
    p.time = time;
    p.magic = magic;
    return g.mt5_account.PositionAdd(std::move(p), In(symbol, symbol_size),
                                     In(comment, comment_size));
  });
}

int __stdcall mt5_order_add(long long ticket, int type, double volume, const unsigned char* symbol,
                            int symbol_size, double price_open, double sl, double tp,
                            long long time_setup, long long expiration, long long magic,
                            const unsigned char* comment, int comment_size) {
  return Guarded(-1, [&] {
    mt5::PendingOrder o;
    o.ticket = ticket;
    o.type = type;
    o.volume = volume;
    o.price_open = price_open;
    o.sl = sl;
    o.tp = tp;
    o.time_setup = time_setup;
    o.expiration = expiration;
    o.magic = magic;
    return g.mt5_account.PendingOrderAdd(std::move(o), In(symbol, symbol_size),
                                         In(comment, comment_size));
  });
}

int __stdcall mt5_deal_add(long long ticket, long long order, long long position_id, int entry,
                           int type, double volume, double price, long long time, long long magic,
                           const unsigned char* symbol, int symbol_size,
                           const unsigned char* comment, int comment_size) {
  return Guarded(-1, [&] {
    mt5::Deal d;
    d.ticket = ticket;
    d.order = order;
    d.position_id = position_id;
    d.entry = entry;
    d.type = type;
    d.volume = volume;
    d.price = price;
    d.time = time;
    d.magic = magic;
    return g.mt5_account.DealAdd(std::move(d), In(symbol, symbol_size), In(comment, comment_size));
  });
}

int __stdcall mt5_finished_order_add(long long ticket, int type, int state, double volume_initial,
                                     const unsigned char* symbol, int symbol_size,
                                     double price_open, double sl, double tp,
                                     long long time_setup, long long time_done,
                                     long long expiration, long long magic,
                                     const unsigned char* comment, int comment_size) {
  return Guarded(-1, [&] {
    mt5::FinishedOrder o;
    o.ticket = ticket;
    o.type = type;
    o.state = state;
    o.volume_initial = volume_initial;
    o.price_open = price_open;
    o.sl = sl;
    o.tp = tp;
    o.time_setup = time_setup;
    o.time_done = time_done;
    o.expiration = expiration;
    o.magic = magic;
    return g.mt5_account.FinishedOrderAdd(std::move(o), In(symbol, symbol_size),
                                          In(comment, comment_size));
  });
}

int __stdcall mt5_build(long long now, int recent_seconds, int max_recent) {
  return Guarded(-1, [&] { return g.mt5_account.Build({now, recent_seconds, max_recent}); });
}

int __stdcall mt5_image_order_get(int index, int* pool, int* ticket, int* open_time, int* type,
                                  double* lots, unsigned char* symbol, int symbol_size,
                                  double* open_price, double* sl, double* tp, int* close_time,
                                  double* close_price, int* magic, int* expiration,
                                  unsigned char* comment, int comment_size) {
  return Guarded(0, [&] {
    return g.mt5_account.OrderGet(
        index, {pool, ticket, open_time, type, lots, Out(symbol, symbol_size), open_price, sl, tp,
                close_time, close_price, magic, expiration, Out(comment, comment_size)});
  });
}

}  // extern "C"
