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

}  // extern "C"
