// An MT5 account as a translated MQL5 program asks it of its terminal: positions, active and
// history orders, deals, OrderSend and the symbols' facts. Texts are UTF-8; the kinds, states
// and reasons are the MQL5 enumerations' numbers.
#pragma once
#include <string>
#include <vector>

#include "mql5_trade_structs.h"
#include "mql_terminal.h"

namespace mql {

struct PositionInfo {
  ulong ticket = 0, identifier = 0;
  int type = 0;  // ENUM_POSITION_TYPE
  mlong time = 0;
  ulong magic = 0;
  double volume = 0, price_open = 0, sl = 0, tp = 0;
  std::string symbol, comment;
};

// An active (pending) order or one of the history.
struct OrderInfo {
  ulong ticket = 0;
  int type = 0, state = 0, type_time = 0;  // ENUM_ORDER_TYPE, ENUM_ORDER_STATE, ENUM_ORDER_TYPE_TIME
  mlong time_setup = 0, time_expiration = 0, time_done = 0;
  ulong magic = 0;
  double volume_initial = 0, volume_current = 0, price_open = 0, sl = 0, tp = 0;
  std::string symbol, comment;
};

struct DealInfo {
  ulong ticket = 0, order = 0, position_id = 0;
  int entry = 0, type = 0, reason = 0;  // ENUM_DEAL_ENTRY, ENUM_DEAL_TYPE, ENUM_DEAL_REASON
  mlong time = 0;
  ulong magic = 0;
  double volume = 0, price = 0, profit = 0;
  std::string symbol, comment;
};

struct SymbolFacts {
  int digits = 0, stops_level = 0, freeze_level = 0;
  int filling_mode = 0;  // SYMBOL_FILLING_FOK | SYMBOL_FILLING_IOC
  int trade_mode = 0;    // ENUM_SYMBOL_TRADE_MODE
  double point = 0, volume_min = 0, volume_max = 0, volume_step = 0, bid = 0, ask = 0;
};

class Terminal5 : public virtual Terminal {
 public:
  // The server's answer in `result`; true only when the request was placed or done.
  virtual bool OrderSend(const builtin5::MqlTradeRequest& request, builtin5::MqlTradeResult& result) = 0;

  virtual std::vector<PositionInfo> Positions() = 0;
  virtual std::vector<OrderInfo> Orders() = 0;
  // What HistorySelect(from, to) takes in, both ends included: deals by their time, orders by
  // the time they left the active ones.
  virtual std::vector<DealInfo> HistoryDeals(mlong from, mlong to) = 0;
  virtual std::vector<OrderInfo> HistoryOrders(mlong from, mlong to) = 0;
  // False for a symbol the server does not offer.
  virtual bool SymbolInfo(const std::string& symbol, SymbolFacts& facts) = 0;

  virtual mlong AccountLogin() = 0;  // 0 while not logged in
  virtual int MarginMode() = 0;      // ENUM_ACCOUNT_MARGIN_MODE
};

}  // namespace mql
