// One change of a simulated account as one line of its journal, e.g.
//
//   open ticket=1001 time=1252972800 type=0 lots=0.1 symbol=EURUSD price=1.08345 sl=1.07 tp=0
//        expiration=0 magic=7 comment=first%20trade                      (all on one line)
//   partial ticket=1001 time=1252972860 lots=0.04 price=1.0851 remainder=1002
//   close ticket=1002 time=1252972920 price=1.1 by=tp
//   modify ticket=1003 time=1252972980 price=1.07 sl=1.06 tp=1.09 expiration=0
//   trigger ticket=1003 time=1252973040 type=0
//   delete ticket=1004 time=1252973100 price=1.08349
//   expire ticket=1005 time=1252973160 price=1.08351
//
// Numbers are written shortest-exact and read back to the same double; in texts every byte up
// to the blank, '%' and DEL is written %XX, the rest (UTF-8 included) as it is.
#pragma once
#include <string>
#include <string_view>

#include "sim_order.h"

enum class ClosedBy { kExpert, kStopLoss, kTakeProfit };

struct JournalEvent {
  enum Kind { kOpen, kClose, kPartialClose, kModify, kDelete, kTrigger, kExpire } kind = kOpen;
  int time = 0;  // server time of the change, unix seconds
  // open: the new order; close: ticket, close price; partial close: ticket, lots closed,
  // close price; modify: ticket, open price, stops, expiration; delete, expire: ticket, close
  // price; trigger: ticket and the market type the order becomes.
  SimOrder order;
  int remainder_ticket = 0;  // partial close
  ClosedBy by = ClosedBy::kExpert;  // close
};

// Appends `text` as a journal writes texts: every byte up to the blank, '%' and DEL as %XX.
void AppendEscaped(std::string& out, const std::string& text);

// The event's line, without the line end.
std::string FormatJournalLine(const JournalEvent& event);

// Reads a line FormatJournalLine wrote: every field of its kind, once, and nothing else.
bool ParseJournalLine(std::string_view line, JournalEvent& event);
