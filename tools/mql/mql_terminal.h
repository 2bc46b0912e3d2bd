// What a translated program, MQL4 or MQL5, asks of the terminal it runs in beyond its account:
// the clock, the market's symbols, the terminal's global variables, the journal and the DLLs.
// mql4_terminal.h and mql5_terminal.h add the two kinds of account. The terminal simulator
// implements them; every call may come from any expert's thread at once.
#pragma once
#include <string>

#include "mql_types.h"

namespace mql {

class Program;

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

  // False for a symbol the server does not offer.
  virtual bool SymbolSelect(const std::string& symbol, bool select) = 0;
  // The symbol's bid (0 for one the server does not offer): what the chart's ticks follow.
  virtual double Bid(const std::string& symbol) = 0;

  virtual double AccountBalance() = 0;
  virtual double AccountEquity() = 0;
  virtual double AccountFreeMargin() = 0;
  virtual bool IsConnected() = 0;
  // AutoTrading and the expert's "Allow live trading".
  virtual bool IsTradeAllowed() = 0;
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
