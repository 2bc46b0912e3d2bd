// The base of a translated MQL4 program: the functions MQL4 alone has (orders and their trade
// calls, MarketInfo, the account, the trade context), on an MQL4 account, besides those it
// shares with MQL5 (mql_program.h).
#pragma once
#include "mql4_terminal.h"
#include "mql_program.h"

namespace mql {

class Program4 : public Program {
 public:
  void Attach(Terminal4& terminal, const ChartInfo& chart);

 protected:
  Program4() : Program({builtin::ERR_GLOBAL_VARIABLE_NOT_FOUND, builtin::ERR_INVALID_FUNCTION_PARAMVALUE}) {}

  // Orders.
  bool OrderSelect(int index, int select, int pool = builtin::MODE_TRADES);
  int OrdersTotal();
  int OrdersHistoryTotal();
  int OrderTicket();
  int OrderType();
  double OrderLots();
  string OrderSymbol();
  double OrderOpenPrice();
  double OrderStopLoss();
  double OrderTakeProfit();
  datetime OrderOpenTime();
  datetime OrderCloseTime();
  double OrderClosePrice();
  int OrderMagicNumber();
  datetime OrderExpiration();
  string OrderComment();
  double OrderProfit();
  double OrderSwap();
  double OrderCommission();
  int OrderSend(string symbol, int cmd, double volume, double price, int slippage, double stoploss,
                double takeprofit, string comment = null_value{}, int magic = 0, datetime expiration = 0,
                color arrow_color = builtin::clrNONE);
  bool OrderClose(int ticket, double lots, double price, int slippage, color arrow_color = builtin::clrNONE);
  bool OrderModify(int ticket, double price, double stoploss, double takeprofit, datetime expiration,
                   color arrow_color = builtin::clrNONE);
  bool OrderDelete(int ticket, color arrow_color = builtin::clrNONE);

  // Market and account.
  double MarketInfo(string symbol, int type);
  bool RefreshRates() { return true; }  // MarketInfo reads the server's prices of the moment
  int AccountNumber();
  double AccountBalance();
  double AccountEquity();
  double AccountFreeMargin();
  bool IsConnected();
  bool IsTradeAllowed();
  bool IsTradeContextBusy();
  bool IsDllsAllowed();

  int Period() { return Chart().period; }

 private:
  // The selected order, or error 4105 and a critical-free default.
  const OrderRecord* Selected();
  bool TradeResult(bool done, int error);

  Terminal4* account_ = nullptr;
  OrderRecord selected_;
  bool has_selected_ = false;
};

}  // namespace mql
