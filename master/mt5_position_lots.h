// One MT5 position's deals read as MT4 orders. The deals are a queue of lots: a deal in adds a
// lot at the back (ticket: the deal's order, which for the first one is the position's
// identifier); a deal out closes lots from the front, the last one covered in part leaving its
// closed part in the history under its ticket and going on under the closing deal's order, as
// MT4 reopens the remainder of a partial close under a new ticket; a reversal closes every lot
// and opens what is left of its volume as a new lot. A hedging position has one lot, a netting
// position one per addition. Deals of one order in a row (a fill in several deals) act as one.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "mt5_facts.h"

namespace mt5 {

// Volumes are multiples of a step of at least 1e-8 lots: less than half of that is rounding.
inline constexpr double kVolumeTolerance = 5e-9;

struct Lot {
  int64_t ticket = 0;
  int32_t side = kBuy;
  double volume = 0;
  std::string_view symbol;
  int64_t open_time = 0;
  double open_price = 0;
  int64_t magic = 0;
  // The comment of the deal that opened the lot; a remainder's comment is its link instead.
  std::string_view comment;
  // The ticket this lot went on from after a partial close ("from #"), or 0.
  int64_t from_ticket = 0;
  // When closed: when, at what price, and the ticket its remainder went on under ("to #"),
  // 0 when the lot closed whole.
  int64_t close_time = 0;
  double close_price = 0;
  int64_t to_ticket = 0;
  // The closed part this lot went on from, as an index into PositionLots::closed, or -1.
  int32_t parent = -1;
};

struct PositionLots {
  std::vector<Lot> closed;  // in the order they closed
  std::vector<Lot> open;
  // False when a deal closed more than was open: the deals before it are missing.
  bool complete = true;
};

// `deals` are the trades (types buy and sell) of one position in time, then ticket, order; they
// must outlive the answer, which points into their texts.
PositionLots ReadPositionLots(std::span<const Deal* const> deals);

}  // namespace mt5
