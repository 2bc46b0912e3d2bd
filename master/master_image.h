// The master account's image as the master expert fills it: channel id, login and two
// sections of order lines.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "order_line.h"
#include "order_pool.h"

class MasterImage {
 public:
  // Empties all four parts, channel id and login included.
  void Clear();
  // Replaces channel id and login; the order lines stay.
  void Set(std::string_view channel_id, std::string_view login);
  // Appends one line to the market (pool 0) or history (pool 1) section; any other pool is
  // ignored. Market lines always carry 0 as close time and a zero close price.
  void Append(int pool, int price_digits, int lots_digits, OrderFields order);

  // The image text, built afresh, and its checksum.
  std::string Text() const;
  uint32_t Checksum() const;

 private:
  std::string channel_id_;
  std::string login_;
  std::string market_;
  std::string history_;
};
