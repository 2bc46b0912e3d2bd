// One order of a simulated account, with the fields an expert reads after OrderSelect.
#pragma once
#include <cmath>
#include <string>

struct SimOrder {
  int ticket = 0;
  int open_time = 0;
  int type = 0;  // 0 buy, 1 sell, 2 buy limit, 3 sell limit, 4 buy stop, 5 sell stop
  double lots = 0;
  std::string symbol;
  double open_price = 0, stop_loss = 0, take_profit = 0;
  int close_time = 0;
  double close_price = 0;
  std::string comment;
  int magic = 0;
  int expiration = 0;
};

// Lots in hundred-millionths: whole numbers, so that a partial close leaves an exact remainder.
inline long long LotUnits(double lots) { return std::llround(lots * 1e8); }
inline double LotsOfUnits(long long units) { return static_cast<double>(units) / 1e8; }

// A partial close, as the trade server does it: `order` keeps `closed_lots` and is marked as
// closed into `new_ticket`; the remainder, returned, goes on under `new_ticket` with the same
// open price, open time, stops and magic. The expert's comment is lost on both.
inline SimOrder SplitOff(SimOrder& order, double closed_lots, int new_ticket) {
  SimOrder rest = order;
  rest.ticket = new_ticket;
  rest.lots = LotsOfUnits(LotUnits(order.lots) - LotUnits(closed_lots));
  rest.comment = "from #" + std::to_string(order.ticket);
  order.lots = closed_lots;
  order.comment = "to #" + std::to_string(new_ticket);
  return rest;
}
