#include "mql5_program.h"

namespace mql {

using namespace builtin5;

namespace {

template <typename Record>
const Record* WithTicket(const std::vector<Record>& records, ulong ticket) {
  for (const Record& r : records)
    if (r.ticket == ticket) return &r;
  return nullptr;
}

// The history is read by ticket, record after record: an index, so that a walk over it is not
// a search from its start for every property.
template <typename Record>
std::unordered_map<ulong, size_t> TicketIndex(const std::vector<Record>& records) {
  std::unordered_map<ulong, size_t> index;
  for (size_t i = 0; i < records.size(); i++) index.emplace(records[i].ticket, i);
  return index;
}

template <typename Record>
const Record* Indexed(const std::vector<Record>& records, const std::unordered_map<ulong, size_t>& index,
                      ulong ticket) {
  const auto found = index.find(ticket);
  return found == index.end() ? nullptr : &records[found->second];
}

mlong OrderInteger(const OrderInfo& o, ENUM_ORDER_PROPERTY_INTEGER id) {
  switch (id) {
    case ORDER_TICKET: return static_cast<mlong>(o.ticket);
    case ORDER_TYPE: return o.type;
    case ORDER_TIME_SETUP: return o.time_setup;
    case ORDER_TIME_EXPIRATION: return o.time_expiration;
    case ORDER_TYPE_TIME: return o.type_time;
    case ORDER_MAGIC: return static_cast<mlong>(o.magic);
    case ORDER_STATE: return o.state;
    case ORDER_TIME_DONE: return o.time_done;
  }
  return 0;
}

double OrderDouble(const OrderInfo& o, ENUM_ORDER_PROPERTY_DOUBLE id) {
  switch (id) {
    case ORDER_VOLUME_INITIAL: return o.volume_initial;
    case ORDER_VOLUME_CURRENT: return o.volume_current;
    case ORDER_PRICE_OPEN: return o.price_open;
    case ORDER_SL: return o.sl;
    case ORDER_TP: return o.tp;
  }
  return 0;
}

string OrderString(const OrderInfo& o, ENUM_ORDER_PROPERTY_STRING id) {
  return string::FromUtf8(id == ORDER_SYMBOL ? o.symbol : o.comment);
}

}  // namespace

void Program5::Attach(Terminal5& terminal, const ChartInfo& chart) {
  account_ = &terminal;
  _Symbol = string::FromUtf8(chart.symbol);
  AttachTerminal(terminal, chart);
}

// --- Positions.

int Program5::PositionsTotal() { return static_cast<int>(account_->Positions().size()); }

ulong Program5::PositionGetTicket(int index) {
  const std::vector<PositionInfo> positions = account_->Positions();
  if (index < 0 || index >= static_cast<int>(positions.size())) {
    _LastError = ERR_TRADE_POSITION_NOT_FOUND;
    return 0;
  }
  position_ = positions[index];
  has_position_ = true;
  return position_.ticket;
}

bool Program5::PositionSelectByTicket(ulong ticket) {
  const std::vector<PositionInfo> positions = account_->Positions();
  const PositionInfo* found = WithTicket(positions, ticket);
  if (!found) {
    _LastError = ERR_TRADE_POSITION_NOT_FOUND;
    return false;
  }
  position_ = *found;
  has_position_ = true;
  return true;
}

const PositionInfo& Program5::SelectedPosition() {
  static const PositionInfo kNone;
  if (has_position_) return position_;
  _LastError = ERR_TRADE_POSITION_NOT_FOUND;
  return kNone;
}

mlong Program5::PositionGetInteger(ENUM_POSITION_PROPERTY_INTEGER property_id) {
  const PositionInfo& p = SelectedPosition();
  switch (property_id) {
    case POSITION_TICKET: return static_cast<mlong>(p.ticket);
    case POSITION_IDENTIFIER: return static_cast<mlong>(p.identifier);
    case POSITION_TYPE: return p.type;
    case POSITION_TIME: return p.time;
    case POSITION_MAGIC: return static_cast<mlong>(p.magic);
  }
  return 0;
}

double Program5::PositionGetDouble(ENUM_POSITION_PROPERTY_DOUBLE property_id) {
  const PositionInfo& p = SelectedPosition();
  switch (property_id) {
    case POSITION_VOLUME: return p.volume;
    case POSITION_PRICE_OPEN: return p.price_open;
    case POSITION_SL: return p.sl;
    case POSITION_TP: return p.tp;
  }
  return 0;
}

string Program5::PositionGetString(ENUM_POSITION_PROPERTY_STRING property_id) {
  const PositionInfo& p = SelectedPosition();
  return string::FromUtf8(property_id == POSITION_SYMBOL ? p.symbol : p.comment);
}

// --- Active orders.

int Program5::OrdersTotal() { return static_cast<int>(account_->Orders().size()); }

ulong Program5::OrderGetTicket(int index) {
  const std::vector<OrderInfo> orders = account_->Orders();
  if (index < 0 || index >= static_cast<int>(orders.size())) {
    _LastError = ERR_TRADE_ORDER_NOT_FOUND;
    return 0;
  }
  order_ = orders[index];
  has_order_ = true;
  return order_.ticket;
}

bool Program5::OrderSelect(ulong ticket) {
  const std::vector<OrderInfo> orders = account_->Orders();
  const OrderInfo* found = WithTicket(orders, ticket);
  if (!found) {
    _LastError = ERR_TRADE_ORDER_NOT_FOUND;
    return false;
  }
  order_ = *found;
  has_order_ = true;
  return true;
}

const OrderInfo& Program5::SelectedOrder() {
  static const OrderInfo kNone;
  if (has_order_) return order_;
  _LastError = ERR_TRADE_ORDER_NOT_FOUND;
  return kNone;
}

mlong Program5::OrderGetInteger(ENUM_ORDER_PROPERTY_INTEGER property_id) {
  return OrderInteger(SelectedOrder(), property_id);
}
double Program5::OrderGetDouble(ENUM_ORDER_PROPERTY_DOUBLE property_id) {
  return OrderDouble(SelectedOrder(), property_id);
}
string Program5::OrderGetString(ENUM_ORDER_PROPERTY_STRING property_id) {
  return OrderString(SelectedOrder(), property_id);
}

// --- The history.

bool Program5::HistorySelect(datetime from_date, datetime to_date) {
  history_deals_ = account_->HistoryDeals(from_date, to_date);
  history_orders_ = account_->HistoryOrders(from_date, to_date);
  deal_index_ = TicketIndex(history_deals_);
  order_index_ = TicketIndex(history_orders_);
  return true;
}

int Program5::HistoryDealsTotal() { return static_cast<int>(history_deals_.size()); }

ulong Program5::HistoryDealGetTicket(int index) {
  if (index >= 0 && index < HistoryDealsTotal()) return history_deals_[index].ticket;
  _LastError = ERR_TRADE_DEAL_NOT_FOUND;
  return 0;
}

const DealInfo& Program5::HistoryDeal(ulong ticket) {
  static const DealInfo kNone;
  if (const DealInfo* found = Indexed(history_deals_, deal_index_, ticket)) return *found;
  _LastError = ERR_TRADE_DEAL_NOT_FOUND;
  return kNone;
}

mlong Program5::HistoryDealGetInteger(ulong ticket_number, ENUM_DEAL_PROPERTY_INTEGER property_id) {
  const DealInfo& d = HistoryDeal(ticket_number);
  switch (property_id) {
    case DEAL_ORDER: return static_cast<mlong>(d.order);
    case DEAL_POSITION_ID: return static_cast<mlong>(d.position_id);
    case DEAL_ENTRY: return d.entry;
    case DEAL_TYPE: return d.type;
    case DEAL_TIME: return d.time;
    case DEAL_MAGIC: return static_cast<mlong>(d.magic);
    case DEAL_REASON: return d.reason;
  }
  return 0;
}

double Program5::HistoryDealGetDouble(ulong ticket_number, ENUM_DEAL_PROPERTY_DOUBLE property_id) {
  const DealInfo& d = HistoryDeal(ticket_number);
  switch (property_id) {
    case DEAL_VOLUME: return d.volume;
    case DEAL_PRICE: return d.price;
    case DEAL_PROFIT: return d.profit;
  }
  return 0;
}

string Program5::HistoryDealGetString(ulong ticket_number, ENUM_DEAL_PROPERTY_STRING property_id) {
  const DealInfo& d = HistoryDeal(ticket_number);
  return string::FromUtf8(property_id == DEAL_SYMBOL ? d.symbol : d.comment);
}

int Program5::HistoryOrdersTotal() { return static_cast<int>(history_orders_.size()); }

ulong Program5::HistoryOrderGetTicket(int index) {
  if (index >= 0 && index < HistoryOrdersTotal()) return history_orders_[index].ticket;
  _LastError = ERR_TRADE_ORDER_NOT_FOUND;
  return 0;
}

const OrderInfo& Program5::HistoryOrder(ulong ticket) {
  static const OrderInfo kNone;
  if (const OrderInfo* found = Indexed(history_orders_, order_index_, ticket)) return *found;
  _LastError = ERR_TRADE_ORDER_NOT_FOUND;
  return kNone;
}

mlong Program5::HistoryOrderGetInteger(ulong ticket_number, ENUM_ORDER_PROPERTY_INTEGER property_id) {
  return OrderInteger(HistoryOrder(ticket_number), property_id);
}
double Program5::HistoryOrderGetDouble(ulong ticket_number, ENUM_ORDER_PROPERTY_DOUBLE property_id) {
  return OrderDouble(HistoryOrder(ticket_number), property_id);
}
string Program5::HistoryOrderGetString(ulong ticket_number, ENUM_ORDER_PROPERTY_STRING property_id) {
  return OrderString(HistoryOrder(ticket_number), property_id);
}

// --- Trading.

bool Program5::OrderSend(MqlTradeRequest& request, MqlTradeResult& result) {
  const bool accepted = account_->OrderSend(request, result);
  if (!accepted) _LastError = ERR_TRADE_SEND_FAILED;
  return accepted;
}

// --- Symbols, the account, the terminal and the program.

bool Program5::FactsOf(const string& name, SymbolFacts& facts) {
  if (account_->SymbolInfo(name.Utf8(), facts)) return true;
  _LastError = ERR_MARKET_UNKNOWN_SYMBOL;
  return false;
}

mlong Program5::SymbolInfoInteger(string name, ENUM_SYMBOL_INFO_INTEGER prop_id) {
  SymbolFacts s;
  if (!FactsOf(name, s)) return 0;
  switch (prop_id) {
    case SYMBOL_DIGITS: return s.digits;
    case SYMBOL_TRADE_STOPS_LEVEL: return s.stops_level;
    case SYMBOL_TRADE_FREEZE_LEVEL: return s.freeze_level;
    case SYMBOL_FILLING_MODE: return s.filling_mode;
    case SYMBOL_TRADE_MODE: return s.trade_mode;
  }
  return 0;
}

double Program5::SymbolInfoDouble(string name, ENUM_SYMBOL_INFO_DOUBLE prop_id) {
  SymbolFacts s;
  if (!FactsOf(name, s)) return 0;
  switch (prop_id) {
    case SYMBOL_POINT: return s.point;
    case SYMBOL_VOLUME_MIN: return s.volume_min;
    case SYMBOL_VOLUME_MAX: return s.volume_max;
    case SYMBOL_VOLUME_STEP: return s.volume_step;
    case SYMBOL_BID: return s.bid;
    case SYMBOL_ASK: return s.ask;
  }
  return 0;
}

// The account lets experts trade; whether this one may is the terminal's and the program's say.
mlong Program5::AccountInfoInteger(ENUM_ACCOUNT_INFO_INTEGER property_id) {
  switch (property_id) {
    case ACCOUNT_LOGIN: return account_->AccountLogin();
    case ACCOUNT_MARGIN_MODE: return account_->MarginMode();
    case ACCOUNT_TRADE_ALLOWED: return 1;
    case ACCOUNT_TRADE_EXPERT: return 1;
  }
  return 0;
}

double Program5::AccountInfoDouble(ENUM_ACCOUNT_INFO_DOUBLE property_id) {
  switch (property_id) {
    case ACCOUNT_BALANCE: return account_->AccountBalance();
    case ACCOUNT_EQUITY: return account_->AccountEquity();
    case ACCOUNT_MARGIN_FREE: return account_->AccountFreeMargin();
  }
  return 0;
}

int Program5::TerminalInfoInteger(ENUM_TERMINAL_INFO_INTEGER property_id) {
  switch (property_id) {
    case TERMINAL_CONNECTED: return account_->IsConnected();
    case TERMINAL_TRADE_ALLOWED: return account_->IsTradeAllowed();
    case TERMINAL_DLLS_ALLOWED: return account_->IsDllsAllowed();
  }
  return 0;
}

// The simulated terminal has one switch for AutoTrading and the expert's own permission.
int Program5::MQLInfoInteger(ENUM_MQL_INFO_INTEGER property_id) {
  switch (property_id) {
    case MQL_TRADE_ALLOWED: return account_->IsTradeAllowed();
    case MQL_DLLS_ALLOWED: return account_->IsDllsAllowed();
  }
  return 0;
}

}  // namespace mql
