// MQL5's trade request and result, the structures OrderSend takes, with MQL5's fields and types.
#pragma once
#include "mql5_constants.h"
#include "mql_string.h"

namespace mql::builtin5 {

struct MqlTradeRequest {
  ENUM_TRADE_REQUEST_ACTIONS action{};
  ulong magic = 0;
  ulong order = 0;  // the pending order to modify or remove
  string symbol;
  double volume = 0, price = 0, stoplimit = 0, sl = 0, tp = 0;
  ulong deviation = 0;  // points a deal's price may be off the market
  ENUM_ORDER_TYPE type{};
  ENUM_ORDER_TYPE_FILLING type_filling{};
  ENUM_ORDER_TYPE_TIME type_time{};
  datetime expiration;
  string comment;
  ulong position = 0;  // the position a deal closes or SLTP changes
  ulong position_by = 0;
};

struct MqlTradeResult {
  uint retcode = 0;
  ulong deal = 0, order = 0;
  double volume = 0, price = 0, bid = 0, ask = 0;
  string comment;
  uint request_id = 0;
  int retcode_external = 0;
};

// windows.h makes ZeroMemory a macro; where both are seen, the name is MQL5's.
#ifdef ZeroMemory
#undef ZeroMemory
#endif
inline void ZeroMemory(MqlTradeRequest& request) { request = MqlTradeRequest{}; }
inline void ZeroMemory(MqlTradeResult& result) { result = MqlTradeResult{}; }

}  // namespace mql::builtin5
