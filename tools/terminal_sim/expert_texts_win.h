// How a slave expert passes texts to qelv_r30uv.dll and reads them back, in the two ways that
// terminals allow: as string elements filled to the terminal's sizes (terminals before build
// 600, whose strings are single bytes), or as UTF-8 byte arrays with their sizes (build 600
// on: strings are UTF-16, and a string array cannot be passed to a library).
#pragma once
#include <string>

#include "slave_library_win.h"

enum class TextPassing { kStringElements, kUtf8Bytes };

// An order as the expert reads it; its texts as UTF-8 (or the library's bytes as they are,
// with string elements).
struct OrderRead {
  int num1, num2, type, close_time, num11, num12;
  double lots, price6, price7, price8, close_price;
  std::string symbol, comment;
};

// _find_window with the channel id as the expert passes it.
int FindHub(const SlaveExports& library, TextPassing passing, const std::string& channel);
// The selected image's channel id and login; false when the library answers 0.
bool ReadImageInfo(const SlaveExports& library, TextPassing passing, std::string& channel_id,
                   std::string& login);
// The selected order; false when the library answers 0.
bool ReadOrder(const SlaveExports& library, TextPassing passing, OrderRead& order);
