// The slave bridge library as a loader sees it: each export found by its exact name in a
// loaded qelv_r30uv.dll and typed by its prototype, as the terminal calls it.
#pragma once
#include <windows.h>

#include "slave_exports.h"

// One member per export, named as the export without its leading underscore.
struct SlaveExports {
  decltype(&slave_images_split) images_split;
  decltype(&slave_images_total) images_total;
  decltype(&slave_images_get_info) images_get_info;
  decltype(&slave_image_select) image_select;
  decltype(&slave_image_get_info) image_get_info;
  decltype(&slave_orders_total) orders_total;
  decltype(&slave_order_select) order_select;
  decltype(&slave_order_get) order_get;
  decltype(&slave_image_get_info_a) image_get_info_a;
  decltype(&slave_order_get_a) order_get_a;
  decltype(&slave_init) init;
  decltype(&slave_deinit) deinit;
  decltype(&slave_find_window) find_window;
  decltype(&slave_marker_send) qelv_marker_send;
  decltype(&slave_get_crc) qelv_get_crc;
  decltype(&slave_images_get) qelv_images_get;
  decltype(&slave_images_calc_crc) images_calc_crc;
  decltype(&slave_wait_crc) qelv_wait_crc;
  decltype(&slave_copier_settings) copier_settings;
  decltype(&slave_copier_begin) copier_begin;
  decltype(&slave_copier_order_add) copier_order_add;
  decltype(&slave_copier_symbols_wanted) copier_symbols_wanted;
  decltype(&slave_copier_symbol_name) copier_symbol_name;
  decltype(&slave_copier_symbol_add) copier_symbol_add;
  decltype(&slave_copier_plan) copier_plan;
  decltype(&slave_copier_action_get) copier_action_get;
  decltype(&slave_copier_action_done) copier_action_done;
  decltype(&slave_copier_log_count) copier_log_count;
  decltype(&slave_copier_log_get) copier_log_get;
  decltype(&slave_copier_end) copier_end;
};

// Fills `exports` from `library`. Answers the first export name that the library lacks (its
// member is then null), or nullptr when it has them all.
const char* FindExports(HMODULE library, SlaveExports& exports);
