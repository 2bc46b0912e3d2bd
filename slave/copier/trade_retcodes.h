// What an MT5 trade server's answer to a trade request (MqlTradeResult::retcode) means for the
// copier: the kinds of trade_errors.h, so an MT5 expert reports to the same CopyMemory,
//
//   memory.Record(action, RetcodeMeansDone(retcode) ? 0 : retcode, now);
//
// The retcodes (10004..10046) share no number with the MT4 terminal's error codes, and
// trade_errors.h reads them through this file.
#pragma once
#include <cstdint>
#include <string>

#include "trade_errors.h"

// Placed, done, done partially (the next plan deals what is left), no changes (it was so already).
bool RetcodeMeansDone(int32_t retcode);

// Whether the code is one of the server's retcodes listed here, done or failed.
bool IsKnownRetcode(int32_t retcode);

// For a retcode that is not done; codes not listed count as permanent.
TradeErrorKind ClassifyRetcode(int32_t retcode);

// Market closed, trade disabled, autotrading off on the server or in the terminal.
bool RetcodeMeansTradingIsOff(int32_t retcode);

// "10019 no money"; a code not listed reads "error 10037".
std::string RetcodeText(int32_t retcode);
