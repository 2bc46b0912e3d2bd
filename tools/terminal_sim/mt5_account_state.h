// What a simulated MT5 account holds, as text that tests read while the simulator runs: a line
// for each position, pending order and deal, e.g.
//
//   position ticket=5003 symbol=EURUSD type=0 volume=0.2 price=1.08345 sl=1.07 tp=1.1 magic=7
//            comment=qelv%204711%20#1001                              (all on one line)
//   order ticket=5004 symbol=EURUSD type=2 volume=0.3 price=1.07 sl=1.06 tp=1.09 magic=7 comment=
//   deal ticket=5005 position=5003 entry=0 type=0 volume=0.2 price=1.08345 magic=7
//
// types as MQL5's (0 buy, 1 sell, 2..5 the pending kinds), deal entries 0 in, 1 out, 2 in/out;
// numbers written shortest-exact; symbols hold no blanks, comments are escaped as a journal's
// texts are (journal_line.h).
#pragma once
#include <string>

#include "mt5_trade_server.h"

std::string DescribeMt5Account(Mt5TradeServer& server);
