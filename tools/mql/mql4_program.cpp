#include "mql_program.h"

#include <chrono>
#include <thread>

namespace mql {

using namespace builtin;

void Program::Attach(Terminal& terminal, const ChartInfo& chart) {
  terminal_ = &terminal;
  chart_ = chart;
}

int Program::GetLastError() {
  const int error = _LastError;
  _LastError = 0;
  return error;
}

// --- Orders.

bool Program::OrderSelect(int index, int select, int pool) {
  OrderRecord order;
  bool found = false;
  if (select == SELECT_BY_TICKET) found = terminal_->OrderByTicket(index, order);
  else if (select == SELECT_BY_POS && (pool == MODE_TRADES || pool == MODE_HISTORY))
    found = terminal_->OrderByPosition(index, pool, order);
  if (!found) {
    _LastError = select == SELECT_BY_TICKET ? ERR_INVALID_TICKET : ERR_INVALID_FUNCTION_PARAMVALUE;
    return false;
  }
  selected_ = std::move(order);
  has_selected_ = true;
  return true;
}

int Program::OrdersTotal() { return terminal_->OrdersTotal(); }
int Program::OrdersHistoryTotal() { return terminal_->OrdersHistoryTotal(); }

const OrderRecord* Program::Selected() {
  if (has_selected_) return &selected_;
  _LastError = ERR_NO_ORDER_SELECTED;
  static const OrderRecord kNone;
  return &kNone;
}

int Program::OrderTicket() { return Selected()->ticket; }
int Program::OrderType() { return Selected()->type; }
double Program::OrderLots() { return Selected()->lots; }
string Program::OrderSymbol() { return string::FromUtf8(Selected()->symbol); }
double Program::OrderOpenPrice() { return Selected()->open_price; }
double Program::OrderStopLoss() { return Selected()->stop_loss; }
double Program::OrderTakeProfit() { return Selected()->take_profit; }
datetime Program::OrderOpenTime() { return Selected()->open_time; }
datetime Program::OrderCloseTime() { return Selected()->close_time; }
double Program::OrderClosePrice() { return Selected()->close_price; }
int Program::OrderMagicNumber() { return Selected()->magic; }
datetime Program::OrderExpiration() { return Selected()->expiration; }
string Program::OrderComment() { return string::FromUtf8(Selected()->comment); }
double Program::OrderProfit() { return Selected()->profit; }
double Program::OrderSwap() { return Selected()->swap; }
double Program::OrderCommission() { return Selected()->commission; }

// Callers make the trade call first and pass its error after: the arguments of one call have no
// order of evaluation, and 32-bit MinGW reads them right to left.
bool Program::TradeResult(bool done, int error) {
  _LastError = done ? 0 : (error != 0 ? error : ERR_COMMON_ERROR);
  return done;
}

int Program::OrderSend(string symbol, int cmd, double volume, double price, int slippage, double stoploss,
                       double takeprofit, string comment, int magic, datetime expiration, color) {
  int error = 0;
  const int ticket = terminal_->OrderSend(symbol.Utf8(), cmd, volume, price, slippage, stoploss, takeprofit,
                                          comment.Utf8(), magic, expiration, error);
  TradeResult(ticket > 0, error);
  return ticket > 0 ? ticket : -1;
}

bool Program::OrderClose(int ticket, double lots, double price, int slippage, color) {
  int error = 0;
  const bool done = terminal_->OrderClose(ticket, lots, price, slippage, error);
  return TradeResult(done, error);
}

bool Program::OrderModify(int ticket, double price, double stoploss, double takeprofit, datetime expiration,
                          color) {
  int error = 0;
  const bool done = terminal_->OrderModify(ticket, price, stoploss, takeprofit, expiration, error);
  return TradeResult(done, error);
}

bool Program::OrderDelete(int ticket, color) {
  int error = 0;
  const bool done = terminal_->OrderDelete(ticket, error);
  return TradeResult(done, error);
}

// --- Market and account.

double Program::MarketInfo(string symbol, int type) {
  int error = 0;
  const double value = terminal_->MarketInfo(symbol.Utf8(), type, error);
  if (error != 0) _LastError = error;
  return value;
}

bool Program::SymbolSelect(string name, bool select) { return terminal_->SymbolSelect(name.Utf8(), select); }
int Program::AccountNumber() { return terminal_->AccountNumber(); }
double Program::AccountBalance() { return terminal_->AccountBalance(); }
double Program::AccountEquity() { return terminal_->AccountEquity(); }
double Program::AccountFreeMargin() { return terminal_->AccountFreeMargin(); }
bool Program::IsConnected() { return terminal_->IsConnected(); }
// The reference's IsTradeAllowed: trading allowed, and the trade context free.
bool Program::IsTradeAllowed() { return terminal_->IsTradeAllowed() && !terminal_->IsTradeContextBusy(); }
bool Program::IsTradeContextBusy() { return terminal_->IsTradeContextBusy(); }
bool Program::IsDllsAllowed() { return terminal_->IsDllsAllowed(); }

// --- Time.

datetime Program::TimeCurrent() { return terminal_->TimeCurrent(); }
uint Program::GetTickCount() { return terminal_->GetTickCount(); }

// A stopping expert's Sleep ends at once, so that its handler can return.
void Program::Sleep(int milliseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
  while (!IsStopped() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        std::chrono::milliseconds(1), until - std::chrono::steady_clock::now()));
}

// --- Global variables.

bool Program::GlobalVariableCheck(string name) { return terminal_->GlobalVariableCheck(name.Utf8()); }

double Program::GlobalVariableGet(string name) {
  double value = 0;
  if (!terminal_->GlobalVariableGet(name.Utf8(), value)) _LastError = ERR_GLOBAL_VARIABLE_NOT_FOUND;
  return value;
}

datetime Program::GlobalVariableSet(string name, double value) {
  return terminal_->GlobalVariableSet(name.Utf8(), value);
}

void Program::GlobalVariablesFlush() { terminal_->GlobalVariablesFlush(); }

// --- The chart.

mlong Program::ChartGetInteger(mlong chart_id, int prop_id, int) {
  if ((chart_id == 0 || chart_id == chart_.id) && prop_id == CHART_WINDOW_HANDLE) return chart_.window;
  _LastError = ERR_INVALID_FUNCTION_PARAMVALUE;
  return 0;
}

bool Program::EventSetMillisecondTimer(int milliseconds) {
  if (milliseconds <= 0) return false;
  timer_ms_ = milliseconds;
  return true;
}

// --- Imports.

void* Program::Bind(int slot, const char* library, const char* name) {
  if (slot >= static_cast<int>(imports_.size())) imports_.resize(slot + 1, nullptr);
  if (imports_[slot]) return imports_[slot];
  const std::string call = std::string("Cannot call '") + library + "::" + name + "', ";
  if (!terminal_->IsDllsAllowed()) throw CriticalError(call + "DLL is not allowed: unresolved import function call");
  std::string error;
  imports_[slot] = terminal_->ImportFunction(library, name, error);
  if (!imports_[slot]) throw CriticalError(call + error + ": unresolved import function call");
  return imports_[slot];
}

}  // namespace mql
