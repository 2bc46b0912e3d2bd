// The master bridge library as a loader sees it: each export found by its exact name in a
// loaded qelv_d30or.dll and typed by its prototype, as the terminal calls it.
#pragma once
#include <windows.h>

#include "master_exports.h"

// One member per export, named as the export without its leading underscore.
struct MasterExports {
  decltype(&master_init) init;
  decltype(&master_deinit) deinit;
  decltype(&master_find_window) find_window;
  decltype(&master_marker_send) marker_send;
  decltype(&master_get_crc) get_crc;
  decltype(&master_image_clear) image_clear;
  decltype(&master_image_set) image_set;
  decltype(&master_image_append) image_append;
  decltype(&master_image_send) image_send;
  decltype(&mt5_begin) mt5_begin;
  decltype(&mt5_history_begin) mt5_history_begin;
  decltype(&mt5_position_add) mt5_position_add;
  decltype(&mt5_order_add) mt5_order_add;
  decltype(&mt5_deal_add) mt5_deal_add;
  decltype(&mt5_finished_order_add) mt5_finished_order_add;
  decltype(&mt5_build) mt5_build;
  decltype(&mt5_image_order_get) mt5_image_order_get;
};

// Fills `exports` from `library`. Answers the first export name that the library lacks (its
// member is then null), or nullptr when it has them all.
const char* FindExports(HMODULE library, MasterExports& exports);
