// Every export of the slave bridge library with its real prototype: the library's source
// defines them against this, and whoever loads the library calls them through it. The .def
// file gives them their undecorated names (_images_split for slave_images_split, ...). Window
// handles travel as 32-bit integers.
#pragma once

#include "text_slot.h"

extern "C" {

// The image set: split and walked.
int __stdcall slave_images_split();
int __stdcall slave_images_total();
int __stdcall slave_images_get_info(int* master_count, int* slave_count);
int __stdcall slave_image_select(int index);
int __stdcall slave_image_get_info(TextSlot* channel_id, TextSlot* login);
int __stdcall slave_orders_total(int pool);
int __stdcall slave_order_select(int index, int pool);
int __stdcall slave_order_get(int* num1, int* num2, int* type, double* lots, TextSlot* symbol,
                              double* price6, double* price7, double* price8, int* close_time,
                              double* close_price, int* num11, int* num12, TextSlot* comment);
// The same reads for experts that pass texts as byte arrays with their sizes.
int __stdcall slave_image_get_info_a(unsigned char* channel_id, int channel_id_size,
                                     unsigned char* login, int login_size);
int __stdcall slave_order_get_a(int* num1, int* num2, int* type, double* lots,
                                unsigned char* symbol, int symbol_size, double* price6,
                                double* price7, double* price8, int* close_time,
                                double* close_price, int* num11, int* num12,
                                unsigned char* comment, int comment_size);

// The link with the hub.
int __stdcall slave_init(int window, int ignored);
int __stdcall slave_deinit(int window, int instance);
int __stdcall slave_find_window(const char* class_name);
int __stdcall slave_marker_send(int window, int instance);
int __stdcall slave_get_crc();
int __stdcall slave_images_get(int window);
int __stdcall slave_images_calc_crc();
// Waits at most `timeout_ms` (0 to 1000) for a published checksum other than `held_crc`.
int __stdcall slave_wait_crc(int held_crc, int timeout_ms);

// The copier (copier_experts.h): each expert's pass, by an id of its choosing.
int __stdcall slave_copier_settings(int expert, unsigned char* text, int size);
int __stdcall slave_copier_begin(int expert, int now, int following_since);
int __stdcall slave_copier_order_add(int expert, int pool, int ticket, int type, double lots,
                                     unsigned char* symbol, int symbol_size, double open_price,
                                     double sl, double tp, int magic, int expiration);
int __stdcall slave_copier_symbols_wanted(int expert);
int __stdcall slave_copier_symbol_name(int expert, int index, unsigned char* name, int size);
int __stdcall slave_copier_symbol_add(int expert, unsigned char* name, int size, int exists,
                                      int digits, double point, double lot_min, double lot_max,
                                      double lot_step, int stops_level, double bid, double ask);
int __stdcall slave_copier_plan(int expert);
int __stdcall slave_copier_action_get(int expert, int index, int* kind, int* ticket,
                                      unsigned char* symbol, int symbol_size, int* type,
                                      double* lots, double* price, double* sl, double* tp,
                                      int* expiration, int* magic, unsigned char* comment,
                                      int comment_size);
int __stdcall slave_copier_action_done(int expert, int index, int error, int new_ticket);
int __stdcall slave_copier_log_count(int expert);
int __stdcall slave_copier_log_get(int expert, int index, unsigned char* line, int size);
int __stdcall slave_copier_end(int expert);

}  // extern "C"
