#include "mql4_program.h"

namespace mql {

using namespace builtin;

void Program4::Attach(Terminal4& terminal, const ChartInfo& chart) {
  account_ = &terminal;
  AttachTerminal(terminal, chart);
}

// --- Orders.

bool Program4::OrderSelect(int index, int select, int pool) {
  OrderRecord order;
  bool found = false;
  if (select == SELECT_BY_TICKET) found = account_->OrderByTicket(index, order);
  else if (select == SELECT_BY_POS && (pool == MODE_TRADES || pool == MODE_HISTORY))
    found = account_->OrderByPosition(index, pool, order);
  if (!found) {
    _LastError = select == SELECT_BY_TICKET ? ERR_INVALID_TICKET : ERR_INVALID_FUNCTION_PARAMVALUE;
    return false;
  }
  selected_ = std::move(order);
  has_selected_ = true;
  return true;
}

int Program4::OrdersTotal() { return account_->OrdersTotal(); }
int Program4::OrdersHistoryTotal() { return account_->OrdersHistoryTotal(); }

const OrderRecord* Program4::Selected() {
  if (has_selected_) return &selected_;
  _LastError = ERR_NO_ORDER_SELECTED;
  static const OrderRecord kNone;
  return &kNone;
}

int Program4::OrderTicket() { return Selected()->ticket; }
int Program4::OrderType() { return Selected()->type; }
double Program4::OrderLots() { return Selected()->lots; }
string Program4::OrderSymbol() { return string::FromUtf8(Selected()->symbol); }
double Program4::OrderOpenPrice() { return Selected()->open_price; }
double Program4::OrderStopLoss() { return Selected()->stop_loss; }
double Program4::OrderTakeProfit() { return Selected()->take_profit; }
datetime Program4::OrderOpenTime() { return Selected()->open_time; }
datetime Program4::OrderCloseTime() { return Selected()->close_time; }
double Program4::OrderClosePrice() { return Selected()->close_price; }
int Program4::OrderMagicNumber() { return Selected()->magic; }
datetime Program4::OrderExpiration() { return Selected()->expiration; }
string Program4::OrderComment() { return string::FromUtf8(Selected()->comment); }
double Program4::OrderProfit() { return Selected()->profit; }
double Program4::OrderSwap() { return Selected()->swap; }
double Program4::OrderCommission() { return Selected()->commission; }

// Callers make the trade call first and pass its error after: the arguments of one call have no
// order of evaluation, and 32-bit MinGW reads them right to left.
bool Program4::TradeResult(bool done, int error) {
  _LastError = done ? 0 : (error != 0 ? error : ERR_COMMON_ERROR);
  return done;
}

int Program4::OrderSend(string symbol, int cmd, double volume, double price, int slippage, double stoploss,
                       double takeprofit, string comment, int magic, datetime expiration, color) {
  int error = 0;
  const int ticket = account_->OrderSend(symbol.Utf8(), cmd, volume, price, slippage, stoploss, takeprofit,
                                          comment.Utf8(), magic, expiration, error);
  TradeResult(ticket > 0, error);
  return ticket > 0 ? ticket : -1;
}

bool Program4::OrderClose(int ticket, double lots, double price, int slippage, color) {
  int error = 0;
  const bool done = account_->OrderClose(ticket, lots, price, slippage, error);
  return TradeResult(done, error);
}

bool Program4::OrderModify(int ticket, double price, double stoploss, double takeprofit, datetime expiration,
                          color) {
  int error = 0;
  const bool done = account_->OrderModify(ticket, price, stoploss, takeprofit, expiration, error);
  return TradeResult(done, error);
}

bool Program4::OrderDelete(int ticket, color) {
  int error = 0;
  const bool done = account_->OrderDelete(ticket, error);
  return TradeResult(done, error);
}

// --- Market and account.

double Program4::MarketInfo(string symbol, int type) {
  int error = 0;
  const double value = account_->MarketInfo(symbol.Utf8(), type, error);
  if (error != 0) _LastError = error;
  return value;
}

int Program4::AccountNumber() { return account_->AccountNumber(); }
double Program4::AccountBalance() { return account_->AccountBalance(); }
double Program4::AccountEquity() { return account_->AccountEquity(); }
double Program4::AccountFreeMargin() { return account_->AccountFreeMargin(); }
bool Program4::IsConnected() { return account_->IsConnected(); }
// The reference's IsTradeAllowed: trading allowed, and the trade context free.
bool Program4::IsTradeAllowed() { return account_->IsTradeAllowed() && !account_->IsTradeContextBusy(); }
bool Program4::IsTradeContextBusy() { return account_->IsTradeContextBusy(); }
bool Program4::IsDllsAllowed() { return account_->IsDllsAllowed(); }

}  // namespace mql
