// What every translated MQL4 program is made of: its inputs and event handlers, as the
// translator writes them in a class derived from this one, and the MQL4 functions that act on
// the program's terminal and state (the last error, the selected order, the timer), as members
// so that the translated code calls them by their plain names.
//
// One object is one expert on one chart: its globals are the object's members, so several
// experts of one source run side by side in one terminal. Its handlers are called on one
// thread, the expert's; a critical error (CriticalError) ends the expert where it happens.
#pragma once
#include <atomic>
#include <string>
#include <type_traits>
#include <vector>

#include "mql_builtins.h"
#include "mql_critical_error.h"
#include "mql_terminal.h"

namespace mql {

// An input as the expert's properties show it.
struct InputInfo {
  std::string name;
  std::string type;           // as declared: "string", "double", "int", "bool", ...
  std::string default_value;  // as written in the source
  std::string description;    // the comment behind it
};

class Program {
 public:
  enum Handler : unsigned { kOnInit = 1, kOnDeinit = 2, kOnTimer = 4, kOnTick = 8 };

  virtual ~Program() = default;

  // --- Written by the translator.
  virtual const char* Name() const = 0;  // the source's name without .mq4
  virtual std::vector<InputInfo> Inputs() const = 0;
  // Sets an input from its text as the properties dialog takes it (a number, true/false, a
  // text); false, with nothing changed, for an unknown name or a value that does not read.
  virtual bool SetInput(const std::string& name, const std::string& value) = 0;
  virtual unsigned Handlers() const = 0;  // Handler bits of the handlers the source defines
  virtual int OnInit() { return builtin::INIT_SUCCEEDED; }
  virtual void OnDeinit(const int reason) { (void)reason; }
  virtual void OnTimer() {}
  virtual void OnTick() {}

  // --- The terminal's side.
  void Attach(Terminal& terminal, const ChartInfo& chart);
  const ChartInfo& Chart() const { return chart_; }
  // The timer EventSetMillisecondTimer set, 0 for none.
  int TimerMs() const { return timer_ms_.load(); }
  // IsStopped() answers true from now on; a Sleep() under way ends.
  void RequestStop() { stop_ = true; }

 protected:
  Program() = default;

  // Errors.
  int GetLastError();
  void ResetLastError() { _LastError = 0; }
  int _LastError = 0;

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
  bool SymbolSelect(string name, bool select);
  bool RefreshRates() { return true; }  // MarketInfo reads the server's prices of the moment
  int AccountNumber();
  double AccountBalance();
  double AccountEquity();
  double AccountFreeMargin();
  bool IsConnected();
  bool IsTradeAllowed();
  bool IsTradeContextBusy();
  bool IsDllsAllowed();
  bool IsStopped() { return stop_.load(); }

  // Time.
  datetime TimeCurrent();
  uint GetTickCount();
  void Sleep(int milliseconds);

  // The terminal's global variables.
  bool GlobalVariableCheck(string name);
  double GlobalVariableGet(string name);
  datetime GlobalVariableSet(string name, double value);
  void GlobalVariablesFlush();

  // The chart and its events.
  mlong ChartGetInteger(mlong chart_id, int prop_id, int sub_window = 0);
  mlong ChartID() { return chart_.id; }
  string Symbol() { return string::FromUtf8(chart_.symbol); }
  int Period() { return chart_.period; }
  bool EventSetMillisecondTimer(int milliseconds);
  bool EventSetTimer(int seconds) { return EventSetMillisecondTimer(seconds * 1000); }
  void EventKillTimer() { timer_ms_ = 0; }

  template <typename... Values>
  void Print(const Values&... values) {
    std::string line;
    (line.append(PrintText(values)), ...);
    terminal_->Print(*this, line);
  }

  // A call of the imported function `name` of `library`, bound at its first call; `slot`
  // numbers the source's imports. Arguments come converted to what the library takes.
  template <typename Function, typename... Arguments>
  auto ImportCall(int slot, const char* library, const char* name, Arguments... arguments) {
    const auto function = reinterpret_cast<Function>(Bind(slot, library, name));
    terminal_->ImportCalling(*this, name);
    if constexpr (std::is_void_v<decltype(function(arguments...))>) {
      function(arguments...);
      terminal_->ImportReturned(*this, name, 0);
    } else {
      const auto result = function(arguments...);
      terminal_->ImportReturned(*this, name, static_cast<double>(result));
      return result;
    }
  }

 private:
  // How Print writes a value: numbers as the terminal's journal shows them.
  static std::string PrintText(const string& text) { return text.Utf8(); }
  static std::string PrintText(datetime time) { return TimeText(time); }
  template <typename N, typename = std::enable_if_t<std::is_arithmetic_v<N>>>
  static std::string PrintText(N value) {
    return ValueText(value);
  }

  void* Bind(int slot, const char* library, const char* name);
  // The selected order, or error 4105 and a critical-free default.
  const OrderRecord* Selected();
  bool TradeResult(bool done, int error);

  Terminal* terminal_ = nullptr;
  ChartInfo chart_;
  std::atomic<int> timer_ms_{0};
  std::atomic<bool> stop_{false};
  OrderRecord selected_;
  bool has_selected_ = false;
  std::vector<void*> imports_;
};

}  // namespace mql
