// What the master's expert publishes of an account's closed orders, and the decimals it writes
// prices and lots with, read from a trade server as the expert reads its terminal.
#pragma once
#include <string>
#include <vector>

#include "trade_server.h"

// The closed orders of the last hour (the newest 200) and then every closed ancestor of a
// published or open order, found through the "to #"/"from #" comments of partial closes.
// Tickets in the order the expert appends them.
std::vector<int> ChooseHistory(TradeServer& server);

// The symbol's digits; 8 for a symbol the server does not offer.
int PriceDigits(TradeServer& server, const std::string& symbol);
// The decimals of the symbol's lot step, at least `at_least`; 8 when the step is not known.
int LotsDigits(TradeServer& server, const std::string& symbol, int at_least);
