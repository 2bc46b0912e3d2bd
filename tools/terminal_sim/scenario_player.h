// Plays the master's scenario (master_scenario.cpp) on a trade server, as the master's expert
// would trade it.
#pragma once
#include <string>

#include "master_scenario.h"
#include "trade_server.h"

// Carries out one step. Where a step names the price an order opens or closes at, the market
// is put there first (the bid or the ask, by the order's side), so that the order fills at
// exactly that price; `trigger` puts it at a pending order's price; `wait` advances the clock.
// Answers "" when the step went through, else what went wrong, e.g.
// "open 1003: 130 invalid stops" or "open 1004: the server gave ticket 1005".
std::string PlayStep(TradeServer& server, const ScenarioStep& step);
