// One order as a line of 13 TAB-separated fields.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct OrderFields {
  int32_t num1 = 0;
  int32_t num2 = 0;
  int32_t type = 0;
  double lots = 0;
  std::string_view symbol;
  double price6 = 0;
  double price7 = 0;
  double price8 = 0;
  int32_t close_time = 0;
  double close_price = 0;
  int32_t num11 = 0;
  int32_t num12 = 0;
  std::string_view comment;
};

// Longest line a slave is promised: the writer's 1024-byte line buffer with its terminator.
constexpr size_t kMaxOrderLineLength = 1023;
constexpr int kMaxDigits = 16;

// Formats the 13 fields: integers in decimal, `lots` with `lots_digits` decimals, the four
// prices with `price_digits` decimals, symbol and comment as they are (see the .cpp for the
// few repairs that keep a line readable by every slave).
std::string FormatOrderLine(const OrderFields& order, int price_digits, int lots_digits);
