// An MQL4 account as a translated MQL4 program asks it of its terminal: orders, trade calls,
// MarketInfo and the trade context.
#pragma once
#include <string>

#include "mql_terminal.h"

namespace mql {

// An order as OrderSelect() leaves it for the Order*() getters. Texts are UTF-8.
struct OrderRecord {
  int ticket = 0;
  int type = 0;
  double lots = 0;
  std::string symbol;
  double open_price = 0, stop_loss = 0, take_profit = 0;
  mlong open_time = 0, close_time = 0, expiration = 0;
  double close_price = 0;
  int magic = 0;
  std::string comment;
  double profit = 0, swap = 0, commission = 0;
};

// Virtual inheritance lets one implementation of the shared part serve both kinds of account.
class Terminal4 : public virtual Terminal {
 public:
  // Trade calls. Each answers as MQL4 does and sets `error` to the code GetLastError() then
  // answers (0 when it went through).
  virtual int OrderSend(const std::string& symbol, int cmd, double volume, double price, int slippage,
                        double stop_loss, double take_profit, const std::string& comment, int magic,
                        mlong expiration, int& error) = 0;
  virtual bool OrderClose(int ticket, double lots, double price, int slippage, int& error) = 0;
  virtual bool OrderModify(int ticket, double price, double stop_loss, double take_profit, mlong expiration,
                           int& error) = 0;
  virtual bool OrderDelete(int ticket, int& error) = 0;

  virtual int OrdersTotal() = 0;
  virtual int OrdersHistoryTotal() = 0;
  // pool: 0 open and pending orders, 1 the history.
  virtual bool OrderByPosition(int index, int pool, OrderRecord& order) = 0;
  // The open orders are searched first, then the history.
  virtual bool OrderByTicket(int ticket, OrderRecord& order) = 0;

  // `mode` as MarketInfo's; `error` 4106 for a symbol the server does not offer.
  virtual double MarketInfo(const std::string& symbol, int mode, int& error) = 0;

  virtual int AccountNumber() = 0;  // 0 while not logged in
  virtual bool IsTradeContextBusy() = 0;
};

}  // namespace mql
