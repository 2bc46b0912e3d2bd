// The MQL4 constants the emulated functions take and answer, with the terminal's values, and
// those MQL5 shares.
#pragma once
#include "mql_shared_constants.h"

namespace mql::builtin {

using namespace common;

// Order types and pools.
constexpr int OP_BUY = 0, OP_SELL = 1, OP_BUYLIMIT = 2, OP_SELLLIMIT = 3, OP_BUYSTOP = 4, OP_SELLSTOP = 5;
constexpr int SELECT_BY_POS = 0, SELECT_BY_TICKET = 1;
constexpr int MODE_TRADES = 0, MODE_HISTORY = 1;

// MarketInfo().
constexpr int MODE_BID = 9, MODE_ASK = 10, MODE_POINT = 11, MODE_DIGITS = 12, MODE_SPREAD = 13,
              MODE_STOPLEVEL = 14, MODE_LOTSIZE = 15, MODE_TRADEALLOWED = 22, MODE_MINLOT = 23,
              MODE_LOTSTEP = 24, MODE_MAXLOT = 25, MODE_FREEZELEVEL = 33;

// ArraySort().
constexpr int MODE_ASCEND = 1, MODE_DESCEND = 2;

constexpr int WHOLE_ARRAY = 0;  // MQL4's: -1 is MQL5's
constexpr int EMPTY = -1;
constexpr double EMPTY_VALUE = 2147483647;

// GetLastError() codes the emulated functions set.
constexpr int ERR_NO_ERROR = 0, ERR_NO_RESULT = 1, ERR_COMMON_ERROR = 2, ERR_INVALID_TRADE_PARAMETERS = 3,
              ERR_SERVER_BUSY = 4, ERR_NO_CONNECTION = 6, ERR_TRADE_TIMEOUT = 128, ERR_INVALID_PRICE = 129,
              ERR_INVALID_STOPS = 130, ERR_INVALID_TRADE_VOLUME = 131, ERR_MARKET_CLOSED = 132,
              ERR_TRADE_DISABLED = 133, ERR_NOT_ENOUGH_MONEY = 134, ERR_PRICE_CHANGED = 135,
              ERR_OFF_QUOTES = 136, ERR_BROKER_BUSY = 137, ERR_REQUOTE = 138, ERR_TRADE_MODIFY_DENIED = 145,
              ERR_TRADE_CONTEXT_BUSY = 146;
constexpr int ERR_ARRAY_INDEX_OUT_OF_RANGE = 4002, ERR_INVALID_FUNCTION_PARAMVALUE = 4051,
              ERR_GLOBAL_VARIABLE_NOT_FOUND = 4058, ERR_FUNCTION_NOT_CONFIRMED = 4060,
              ERR_NO_ORDER_SELECTED = 4105, ERR_UNKNOWN_SYMBOL = 4106, ERR_INVALID_TICKET = 4108,
              ERR_TRADE_NOT_ALLOWED = 4109;

}  // namespace mql::builtin
