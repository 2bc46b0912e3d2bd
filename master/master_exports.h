// Every export of the master bridge library with its real prototype: the library's source
// defines them against this, and whoever loads the library calls them through it. The .def
// file gives them their undecorated names (_init for master_init, ...).
#pragma once

extern "C" {

int __stdcall master_init(int window, int instance);
int __stdcall master_deinit(int window, int instance);
int __stdcall master_find_window(const char* class_name);
int __stdcall master_marker_send(int window, int instance);
int __stdcall master_get_crc();
void __stdcall master_image_clear();
void __stdcall master_image_set(const char* channel_id, const char* login);
void __stdcall master_image_append(int pool, int price_digits, int lots_digits, int num1,
                                   int num2, int type, double lots, const char* symbol,
                                   double price6, double price7, double price8, int close_time,
                                   double close_price, int num11, int num12,
                                   const char* comment);
void __stdcall master_image_send(int window);

// MT5 masters: the account's facts in, the image orders built from them out.
int __stdcall mt5_begin();
int __stdcall mt5_history_begin();
int __stdcall mt5_position_add(long long identifier, int type, double volume,
                               const unsigned char* symbol, int symbol_size, double price_open,
                               double sl, double tp, long long time, long long magic,
                               const unsigned char* comment, int comment_size);
int __stdcall mt5_order_add(long long ticket, int type, double volume, const unsigned char* symbol,
                            int symbol_size, double price_open, double sl, double tp,
                            long long time_setup, long long expiration, long long magic,
                            const unsigned char* comment, int comment_size);
int __stdcall mt5_deal_add(long long ticket, long long order, long long position_id, int entry,
                           int type, double volume, double price, long long time, long long magic,
                           const unsigned char* symbol, int symbol_size,
                           const unsigned char* comment, int comment_size);
int __stdcall mt5_finished_order_add(long long ticket, int type, int state, double volume_initial,
                                     const unsigned char* symbol, int symbol_size,
                                     double price_open, double sl, double tp,
                                     long long time_setup, long long time_done,
                                     long long expiration, long long magic,
                                     const unsigned char* comment, int comment_size);
int __stdcall mt5_build(long long now, int recent_seconds, int max_recent);
int __stdcall mt5_image_order_get(int index, int* pool, int* ticket, int* open_time, int* type,
                                  double* lots, unsigned char* symbol, int symbol_size,
                                  double* open_price, double* sl, double* tp, int* close_time,
                                  double* close_price, int* magic, int* expiration,
                                  unsigned char* comment, int comment_size);

}  // extern "C"
