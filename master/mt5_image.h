// An MT5 account's orders as an MT4 master publishes its own, built afresh from the facts the
// MT5 master expert gives (mt5_facts.h):
// - open orders: the open lots of every position (mt5_position_lots.h), stops the position's,
//   in the order the positions were given; then the pending orders of types 2 to 5 (stop-limit
//   orders have no MT4 form), ticket the order's, which becomes the position's identifier when
//   it fills, so the slaves see it turn into a market order under the same ticket, as on MT4.
//   A position whose deals do not add up to its volume, side and all (deals missing from the
//   history given, or changed between the expert's calls), is one open order as the position
//   itself says: ticket its identifier, its volume, open time, price, magic and comment; its
//   deals then add nothing to the history. A ticket already published is not published again
//   (a pending order partly filled is its position).
// - history, chosen as the MT4 master expert chooses it: the closed orders (lots closed whole
//   or in part, pending orders cancelled or expired) closed at `now - recent_seconds` or later,
//   newest first, at most `max_recent` of them; then the closed ancestors of each of those,
//   then those of each open order, so that every chain still open can be walked to its root.
//   Closed lots carry no stops (deals have none); a cancelled or expired pending order keeps
//   its stops, and its open price is its close price.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "mt5_facts.h"

namespace mt5 {

struct ImageOrder {
  int32_t pool = 0;  // 0 open, 1 history (order_pool.h)
  int32_t ticket = 0;
  int32_t open_time = 0;
  int32_t type = 0;
  double lots = 0;
  std::string symbol;
  double open_price = 0;
  double sl = 0;
  double tp = 0;
  int32_t close_time = 0;
  double close_price = 0;
  int32_t magic = 0;
  int32_t expiration = 0;
  std::string comment;
};

struct HistoryWindow {
  int64_t now = 0;
  int32_t recent_seconds = 0;
  int32_t max_recent = 0;

  bool operator==(const HistoryWindow&) const = default;
};

// Open orders first, then history; no ticket twice.
std::vector<ImageOrder> BuildImageOrders(const AccountFacts& facts, const HistoryWindow& window);

}  // namespace mt5
