// The slave's model of the image set: the header's counts and every master's image with its
// orders, split from the text last received from the hub.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "text_slot.h"

// One order line. Symbol and comment hold as much as the expert's buffers they are copied into
// (text_slot.h), so every stored text fits there with its terminator.
struct TOrder {
  int32_t num1;
  int32_t num2;
  int32_t type;
  double lots;
  char symbol[kSymbolCapacity];
  double price6;
  double price7;
  double price8;
  int32_t close_time;
  double close_price;
  int32_t num11;
  int32_t num12;
  char comment[kCommentCapacity];
};

// One master's image.
struct TImage {
  std::string channel_id;
  std::string login;
  std::vector<TOrder> market;
  std::vector<TOrder> history;
};

struct ImageSet {
  int32_t master_count = 0;
  int32_t slave_count = 0;
  std::vector<TImage> images;
  // The message of the last failed split; written only on failure, never cleared.
  char error[512] = {};
};
