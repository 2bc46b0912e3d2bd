// What a translated MQL4 program asks of the terminal it runs in: its account on the trade
// server, the market, the clock, the terminal's global variables, the journal and the DLLs.
// The terminal simulator implements it; every call may come from any expert's thread at once.
#pragma once
#include <string>

#include "mql_types.h"

namespace mql {

class Program;

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

// The chart an expert is attached to.
struct ChartInfo {
  mlong id = 0;      // ChartID()
  mlong window = 0;  // ChartGetInteger(0, CHART_WINDOW_HANDLE)
  std::string symbol = "EURUSD";
  int period = 60;   // minutes
};

class Terminal {
 public:
  virtual ~Terminal() = default;

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
  // False for a symbol the server does not offer.
  virtual bool SymbolSelect(const std::string& symbol, bool select) = 0;

  virtual int AccountNumber() = 0;  // 0 while not logged in
  virtual double AccountBalance() = 0;
  virtual double AccountEquity() = 0;
  virtual double AccountFreeMargin() = 0;
  virtual bool IsConnected() = 0;
  // AutoTrading and the expert's "Allow live trading" (IsTradeAllowed() also asks that the
  // trade context be free).
  virtual bool IsTradeAllowed() = 0;
  virtual bool IsTradeContextBusy() = 0;
  virtual bool IsDllsAllowed() = 0;

  virtual mlong TimeCurrent() = 0;  // the trade server's time, seconds
  virtual uint GetTickCount() = 0;

  // The terminal's global variables, shared by all its programs and kept through restarts.
  virtual bool GlobalVariableCheck(const std::string& name) = 0;
  virtual bool GlobalVariableGet(const std::string& name, double& value) = 0;
  // Answers the time of the change (0 when the variable could not be set).
  virtual mlong GlobalVariableSet(const std::string& name, double value) = 0;
  virtual void GlobalVariablesFlush() = 0;

  // A line of the program's Print().
  virtual void Print(const Program& program, const std::string& line) = 0;

  // The function `name` of the DLL `library` as the terminal loads it (one module per library
  // for all its programs); nullptr, with `error` saying why, when it cannot be had.
  virtual void* ImportFunction(const std::string& library, const std::string& name, std::string& error) = 0;
  // Around every call of an imported function, on the calling program's thread: what a
  // terminal that times its experts' library calls would watch. `result` is the function's
  // answer as a number (0 for a void one).
  virtual void ImportCalling(const Program& program, const char* name) = 0;
  virtual void ImportReturned(const Program& program, const char* name, double result) = 0;
};

}  // namespace mql
