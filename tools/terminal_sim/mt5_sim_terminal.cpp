#include "mt5_sim_terminal.h"

#include "trade_retcodes.h"

namespace {

using namespace mql::builtin5;

// The request in the account's terms; false, with the retcode the server would answer, for
// what the simulated account does not take (stop limit orders, close by, day expirations).
bool AccountRequest(const MqlTradeRequest& in, Mt5TradeRequest& out, uint32_t& refusal) {
  switch (in.action) {
    case TRADE_ACTION_DEAL: out.action = Mt5Action::kDeal; break;
    case TRADE_ACTION_PENDING: out.action = Mt5Action::kPending; break;
    case TRADE_ACTION_SLTP: out.action = Mt5Action::kSltp; break;
    case TRADE_ACTION_MODIFY: out.action = Mt5Action::kModify; break;
    case TRADE_ACTION_REMOVE: out.action = Mt5Action::kRemove; break;
    default: return refusal = TRADE_RETCODE_INVALID, false;
  }
  // ENUM_ORDER_TYPE and ORDER_FILLING_* have the account's numbers up to the stop orders.
  if (in.type < ORDER_TYPE_BUY || in.type > ORDER_TYPE_SELL_STOP) return refusal = TRADE_RETCODE_INVALID, false;
  if (in.type_filling < ORDER_FILLING_FOK || in.type_filling > ORDER_FILLING_RETURN)
    return refusal = TRADE_RETCODE_INVALID_FILL, false;
  if (in.type_time != ORDER_TIME_GTC && in.type_time != ORDER_TIME_SPECIFIED)
    return refusal = TRADE_RETCODE_INVALID_EXPIRATION, false;
  if (in.type_time == ORDER_TIME_SPECIFIED && in.expiration == 0)
    return refusal = TRADE_RETCODE_INVALID_EXPIRATION, false;
  out.type = static_cast<Mt5OrderType>(in.type);
  out.type_filling = static_cast<Mt5Filling>(in.type_filling);
  out.expiration = in.type_time == ORDER_TIME_SPECIFIED ? in.expiration.seconds : 0;
  out.magic = in.magic;
  out.order = in.order;
  out.symbol = in.symbol.Utf8();
  out.volume = in.volume;
  out.price = in.price;
  out.sl = in.sl;
  out.tp = in.tp;
  out.deviation = in.deviation;
  out.comment = in.comment.Utf8();
  out.position = in.position;
  return true;
}

int StateOf(Mt5OrderState state) {
  switch (state) {
    case Mt5OrderState::kPlaced: return ORDER_STATE_PLACED;
    case Mt5OrderState::kFilled: return ORDER_STATE_FILLED;
    case Mt5OrderState::kCanceled: return ORDER_STATE_CANCELED;
    case Mt5OrderState::kExpired: return ORDER_STATE_EXPIRED;
  }
  return ORDER_STATE_STARTED;
}

mql::OrderInfo InfoOf(const Mt5Order& o) {
  mql::OrderInfo info;
  info.ticket = o.ticket;
  info.type = static_cast<int>(o.type);
  info.state = StateOf(o.state);
  info.type_time = o.expiration != 0 ? ORDER_TIME_SPECIFIED : ORDER_TIME_GTC;
  info.time_setup = o.time_setup;
  info.time_expiration = o.expiration;
  info.time_done = o.time_done;
  info.magic = o.magic;
  info.volume_initial = info.volume_current = o.volume;
  if (o.state == Mt5OrderState::kFilled) info.volume_current = 0;
  info.price_open = o.price_open;
  info.sl = o.sl;
  info.tp = o.tp;
  info.symbol = o.symbol;
  info.comment = o.comment;
  return info;
}

int EntryOf(Mt5DealEntry entry) {
  switch (entry) {
    case Mt5DealEntry::kIn: return DEAL_ENTRY_IN;
    case Mt5DealEntry::kOut: return DEAL_ENTRY_OUT;
    case Mt5DealEntry::kInOut: return DEAL_ENTRY_INOUT;
  }
  return DEAL_ENTRY_IN;
}

int ReasonOf(Mt5DealReason reason) {
  switch (reason) {
    case Mt5DealReason::kExpert: return DEAL_REASON_EXPERT;
    case Mt5DealReason::kStopLoss: return DEAL_REASON_SL;
    case Mt5DealReason::kTakeProfit: return DEAL_REASON_TP;
  }
  return DEAL_REASON_EXPERT;
}

}  // namespace

Mt5SimTerminal::Mt5SimTerminal(Mt5TradeServer& server, LibraryLoader loader, std::string globals)
    : SimTerminalBase(std::move(loader), std::move(globals)), server_(server) {}

bool Mt5SimTerminal::OrderSend(const MqlTradeRequest& request, MqlTradeResult& result) {
  result = MqlTradeResult{};
  Mt5TradeRequest sent;
  uint32_t refusal = 0;
  Mt5TradeResult answer;
  const bool accepted = AccountRequest(request, sent, refusal) && server_.OrderSend(sent, answer);
  if (refusal != 0) {
    answer.retcode = refusal;
    answer.comment = RetcodeText(static_cast<int32_t>(refusal));
  }
  result.retcode = answer.retcode;
  result.deal = answer.deal;
  result.order = answer.order;
  result.volume = answer.volume;
  result.price = answer.price;
  result.comment = mql::string::FromUtf8(answer.comment);
  // The prices a requote offers instead.
  Mt5SymbolFacts facts;
  if (answer.retcode == TRADE_RETCODE_REQUOTE && server_.SymbolInfo(sent.symbol, facts)) {
    result.bid = facts.bid;
    result.ask = facts.ask;
  }
  return accepted;
}

std::vector<mql::PositionInfo> Mt5SimTerminal::Positions() {
  std::vector<mql::PositionInfo> positions;
  Mt5Position p;
  for (int i = 0; server_.PositionByIndex(i, p); i++) {
    mql::PositionInfo info;
    info.ticket = p.ticket;
    info.identifier = p.identifier;
    info.type = p.buy ? POSITION_TYPE_BUY : POSITION_TYPE_SELL;
    info.time = p.time;
    info.magic = p.magic;
    info.volume = p.volume;
    info.price_open = p.price_open;
    info.sl = p.sl;
    info.tp = p.tp;
    info.symbol = p.symbol;
    info.comment = p.comment;
    positions.push_back(info);
  }
  return positions;
}

std::vector<mql::OrderInfo> Mt5SimTerminal::Orders() {
  std::vector<mql::OrderInfo> orders;
  Mt5Order o;
  for (int i = 0; server_.OrderByIndex(i, o); i++) orders.push_back(InfoOf(o));
  return orders;
}

std::vector<mql::DealInfo> Mt5SimTerminal::HistoryDeals(mql::mlong from, mql::mlong to) {
  std::vector<mql::DealInfo> deals;
  for (const Mt5Deal& d : server_.HistoryDeals(from, to)) {
    mql::DealInfo info;
    info.ticket = d.ticket;
    info.order = d.order;
    info.position_id = d.position_id;
    info.entry = EntryOf(d.entry);
    info.type = d.buy ? DEAL_TYPE_BUY : DEAL_TYPE_SELL;
    info.reason = ReasonOf(d.reason);
    info.time = d.time;
    info.magic = d.magic;
    info.volume = d.volume;
    info.price = d.price;
    info.profit = d.profit;
    info.symbol = d.symbol;
    info.comment = d.comment;
    deals.push_back(info);
  }
  return deals;
}

std::vector<mql::OrderInfo> Mt5SimTerminal::HistoryOrders(mql::mlong from, mql::mlong to) {
  std::vector<mql::OrderInfo> orders;
  for (const Mt5Order& o : server_.HistoryOrders(from, to)) orders.push_back(InfoOf(o));
  return orders;
}

bool Mt5SimTerminal::SymbolInfo(const std::string& symbol, mql::SymbolFacts& facts) {
  Mt5SymbolFacts s;
  if (!server_.SymbolInfo(symbol, s)) return false;
  facts.digits = s.digits;
  facts.stops_level = s.stops_level;
  facts.freeze_level = s.freeze_level;
  facts.filling_mode = (s.fill_fok ? SYMBOL_FILLING_FOK : 0) | (s.fill_ioc ? SYMBOL_FILLING_IOC : 0);
  facts.trade_mode = s.trade_allowed ? SYMBOL_TRADE_MODE_FULL : SYMBOL_TRADE_MODE_DISABLED;
  facts.point = s.point;
  facts.volume_min = s.volume_min;
  facts.volume_max = s.volume_max;
  facts.volume_step = s.volume_step;
  facts.bid = s.bid;
  facts.ask = s.ask;
  return true;
}

bool Mt5SimTerminal::SymbolSelect(const std::string& symbol, bool) {
  Mt5SymbolFacts facts;
  return server_.SymbolInfo(symbol, facts);
}

double Mt5SimTerminal::Bid(const std::string& symbol) {
  Mt5SymbolFacts facts;
  return server_.SymbolInfo(symbol, facts) ? facts.bid : 0;
}

int Mt5SimTerminal::MarginMode() {
  return server_.MarginMode() == Mt5MarginMode::kNetting ? ACCOUNT_MARGIN_MODE_RETAIL_NETTING
                                                         : ACCOUNT_MARGIN_MODE_RETAIL_HEDGING;
}
