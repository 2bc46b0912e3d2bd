#include "mt5_trade_server.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sim_order.h"
#include "trade_retcodes.h"

namespace {

using Lock = std::lock_guard<std::mutex>;

bool IsBuy(Mt5OrderType t) {
  return t == Mt5OrderType::kBuy || t == Mt5OrderType::kBuyLimit || t == Mt5OrderType::kBuyStop;
}

bool IsMarket(Mt5OrderType t) { return t == Mt5OrderType::kBuy || t == Mt5OrderType::kSell; }

bool IsLimit(Mt5OrderType t) {
  return t == Mt5OrderType::kBuyLimit || t == Mt5OrderType::kSellLimit;
}

// Stops and pending prices keep at least the stops level from their reference, and a point.
int64_t MinDistance(const SymbolRules& r) { return std::max(r.stops_level, 1); }

// Where a position closes, which its stops are measured from and hit at.
int64_t ClosePoints(bool buy, const Quote& q) { return buy ? q.bid : q.ask; }

// Where a deal opens, and the side a pending order watches.
int64_t OpenPoints(bool buy, const Quote& q) { return buy ? q.ask : q.bid; }

bool StopsFit(const SymbolRules& r, bool buy, int64_t reference, double sl, double tp) {
  if ((sl != 0 && !OnGrid(sl, r.digits)) || (tp != 0 && !OnGrid(tp, r.digits))) return false;
  const int64_t side = buy ? 1 : -1;
  if (sl != 0 && side * (reference - ToPoints(sl, r.digits)) < MinDistance(r)) return false;
  return tp == 0 || side * (ToPoints(tp, r.digits) - reference) >= MinDistance(r);
}

bool PendingPriceFits(const SymbolRules& r, Mt5OrderType type, int64_t price, const Quote& q) {
  switch (type) {
    case Mt5OrderType::kBuyLimit: return q.ask - price >= MinDistance(r);
    case Mt5OrderType::kSellLimit: return price - q.bid >= MinDistance(r);
    case Mt5OrderType::kBuyStop: return price - q.ask >= MinDistance(r);
    case Mt5OrderType::kSellStop: return q.bid - price >= MinDistance(r);
    default: return false;
  }
}

bool Triggered(Mt5OrderType type, int64_t price, const Quote& q) {
  switch (type) {
    case Mt5OrderType::kBuyLimit: return q.ask <= price;
    case Mt5OrderType::kSellLimit: return q.bid >= price;
    case Mt5OrderType::kBuyStop: return q.ask >= price;
    case Mt5OrderType::kSellStop: return q.bid <= price;
    default: return false;
  }
}

// Within the freeze level of the market nothing may change.
bool Near(const SymbolRules& r, double price, int64_t market) {
  return r.freeze_level > 0 && price != 0 &&
         std::llabs(ToPoints(price, r.digits) - market) < r.freeze_level;
}

bool Frozen(const SymbolRules& r, const Mt5Position& p, const Quote& q) {
  return Near(r, p.sl, ClosePoints(p.buy, q)) || Near(r, p.tp, ClosePoints(p.buy, q));
}

bool Frozen(const SymbolRules& r, const Mt5Order& o, const Quote& q) {
  return Near(r, o.price_open, OpenPoints(IsBuy(o.type), q));
}

// The account fills as in the Market execution mode: market deals FOK or IOC as the symbol
// allows, RETURN only for limit orders.
bool FillAllowed(bool fok, bool ioc, Mt5Filling filling, Mt5OrderType type) {
  switch (filling) {
    case kFillingFok: return fok;
    case kFillingIoc: return ioc;
    case kFillingReturn: return IsLimit(type);
  }
  return false;
}

double Normalized(double price, int digits) {
  return price == 0 ? 0 : FromPoints(ToPoints(price, digits), digits);
}

bool SameStops(const SymbolRules& r, double a_sl, double a_tp, double b_sl, double b_tp) {
  return ToPoints(a_sl, r.digits) == ToPoints(b_sl, r.digits) &&
         ToPoints(a_tp, r.digits) == ToPoints(b_tp, r.digits);
}

}  // namespace

Mt5TradeServer::Mt5TradeServer(const Mt5AccountSetup& setup)
    : setup_(setup), feed_(setup.seed), balance_(setup.balance), next_ticket_(setup.first_ticket) {
  setup_.tick_ms = std::max(setup_.tick_ms, 1);
  setup_.leverage = std::max(setup_.leverage, 1);
  now_ms_ = setup_.start_time * 1000;
  next_tick_ms_ = now_ms_ + setup_.tick_ms;
}

bool Mt5TradeServer::AddSymbol(const SymbolRules& rules, bool fill_fok, bool fill_ioc, double bid,
                               int spread_points, int walk_points) {
  if (!RulesUsable(rules) || !OnGrid(bid, rules.digits)) return false;
  Lock lock(mutex_);
  symbols_[rules.name] = Listing{rules, fill_fok, fill_ioc, true};
  feed_.AddSymbol(rules.name, ToPoints(bid, rules.digits), spread_points, walk_points);
  return true;
}

bool Mt5TradeServer::SetTradeAllowed(const std::string& symbol, bool allowed) {
  Lock lock(mutex_);
  auto found = symbols_.find(symbol);
  if (found == symbols_.end()) return false;
  found->second.trade_allowed = allowed;
  return true;
}

bool Mt5TradeServer::SetBid(const std::string& symbol, double bid) {
  Lock lock(mutex_);
  const Listing* listing = Find(symbol);
  if (!listing || !OnGrid(bid, listing->rules.digits)) return false;
  feed_.SetBid(symbol, ToPoints(bid, listing->rules.digits));
  ReactToMarket();
  return true;
}

void Mt5TradeServer::Advance(int ms) {
  Lock lock(mutex_);
  if (ms <= 0) return;
  const int64_t end = now_ms_ + ms;
  for (; next_tick_ms_ <= end; next_tick_ms_ += setup_.tick_ms) {
    now_ms_ = next_tick_ms_;
    feed_.Tick();
    ReactToMarket();
  }
  now_ms_ = end;
}

bool Mt5TradeServer::OrderSend(const Mt5TradeRequest& request, Mt5TradeResult& result) {
  Lock lock(mutex_);
  result = Mt5TradeResult{};
  switch (request.action) {
    case Mt5Action::kDeal: result.retcode = Deal(request, result); break;
    case Mt5Action::kPending: result.retcode = Pending(request, result); break;
    case Mt5Action::kSltp: result.retcode = Sltp(request); break;
    case Mt5Action::kModify: result.retcode = Modify(request); break;
    case Mt5Action::kRemove: result.retcode = Remove(request); break;
    default: result.retcode = kRetcodeInvalid;
  }
  result.comment = RetcodeText(static_cast<int32_t>(result.retcode));
  const bool accepted = result.retcode == kRetcodePlaced || result.retcode == kRetcodeDone;
  if (accepted) changes_++;
  return accepted;
}

uint32_t Mt5TradeServer::Deal(const Mt5TradeRequest& request, Mt5TradeResult& result) {
  if (!IsMarket(request.type)) return kRetcodeInvalid;
  const bool buy = request.type == Mt5OrderType::kBuy;
  std::string symbol = request.symbol;
  Mt5Position* target = nullptr;  // the position a close names
  if (request.position != 0) {
    target = FindPosition(request.position);
    if (!target || target->buy == buy) return kRetcodeInvalid;
    if (!symbol.empty() && symbol != target->symbol) return kRetcodeInvalid;
    symbol = target->symbol;
  }
  const Listing* listing = Find(symbol);
  if (!listing) return kRetcodeInvalid;
  if (!listing->trade_allowed) return kRetcodeMarketClosed;
  const SymbolRules& r = listing->rules;
  if (!VolumeFits(r, request.volume)) return kRetcodeInvalidVolume;
  const long long units = LotUnits(request.volume);
  if (target && units > LotUnits(target->volume)) return kRetcodeInvalidVolume;
  if (!FillAllowed(listing->fill_fok, listing->fill_ioc, request.type_filling, request.type))
    return kRetcodeInvalidFill;
  const Quote q = feed_.QuoteOf(symbol);
  const int64_t price = OpenPoints(buy, q);
  if (request.price != 0) {
    if (!OnGrid(request.price, r.digits)) return kRetcodeInvalidPrice;
    const uint64_t off = static_cast<uint64_t>(std::llabs(ToPoints(request.price, r.digits) - price));
    if (off > request.deviation) return kRetcodeRequote;
  }
  if (!target && !StopsFit(r, buy, ClosePoints(buy, q), request.sl, request.tp))
    return kRetcodeInvalidStops;
  // A netting deal against the symbol's position closes first and opens only what is left.
  Mt5Position* against = target;
  if (setup_.margin_mode == Mt5MarginMode::kNetting && !against) {
    against = NettingPosition(symbol);
    if (against && against->buy == buy) against = nullptr;
  }
  if (against && Frozen(r, *against, q)) return kRetcodeFrozen;
  const long long opened = against ? std::max(0LL, units - LotUnits(against->volume)) : units;
  if (Margin(r, opened) > FreeMargin()) return kRetcodeNoMoney;
  const uint64_t order = next_ticket_++;
  const Mt5Deal deal = Fill(*listing, buy, units, price, order, target, request, Mt5DealReason::kExpert);
  Mt5Order market;
  market.ticket = order;
  market.symbol = symbol;
  market.type = request.type;
  market.volume = deal.volume;
  market.price_open = deal.price;
  market.sl = Normalized(request.sl, r.digits);
  market.tp = Normalized(request.tp, r.digits);
  market.magic = request.magic;
  market.comment = request.comment;
  market.time_setup = Now();
  Finish(market, Mt5OrderState::kFilled);
  result.deal = deal.ticket;
  result.order = order;
  result.volume = deal.volume;
  result.price = deal.price;
  return kRetcodeDone;
}

Mt5Deal Mt5TradeServer::Fill(const Listing& listing, bool buy, long long units, int64_t price,
                             uint64_t order, Mt5Position* target, const Mt5TradeRequest& request,
                             Mt5DealReason reason) {
  const SymbolRules& r = listing.rules;
  Mt5Deal d;
  d.ticket = next_ticket_++;
  d.order = order;
  d.symbol = r.name;
  d.buy = buy;
  d.volume = LotsOfUnits(units);
  d.price = FromPoints(price, r.digits);
  d.time = Now();
  d.magic = request.magic;
  d.comment = request.comment;
  d.reason = reason;
  Mt5Position* p = target;
  if (!p && setup_.margin_mode == Mt5MarginMode::kNetting) p = NettingPosition(r.name);
  if (!p) {
    Mt5Position opened;
    opened.ticket = opened.identifier = order;
    opened.symbol = r.name;
    opened.buy = buy;
    opened.volume = d.volume;
    opened.price_open = d.price;
    opened.sl = Normalized(request.sl, r.digits);
    opened.tp = Normalized(request.tp, r.digits);
    opened.magic = request.magic;
    opened.comment = request.comment;
    opened.time = Now();
    positions_.push_back(opened);
    d.position_id = order;
    deals_.push_back(d);
    return d;
  }
  d.position_id = p->identifier;
  const long long held = LotUnits(p->volume);
  if (p->buy == buy) {  // netting: the position grows, at the volume-weighted price
    p->price_open = (p->price_open * held + d.price * units) / (held + units);
    p->volume = LotsOfUnits(held + units);
    if (request.sl != 0) p->sl = Normalized(request.sl, r.digits);
    if (request.tp != 0) p->tp = Normalized(request.tp, r.digits);
  } else {
    const long long closed = std::min(units, held);
    const double move = p->buy ? d.price - p->price_open : p->price_open - d.price;
    d.profit = std::round(move * LotsOfUnits(closed) * r.contract_size * 100) / 100;
    balance_ += d.profit;
    if (units < held) {
      d.entry = Mt5DealEntry::kOut;
      p->volume = LotsOfUnits(held - units);
    } else if (units == held) {
      d.entry = Mt5DealEntry::kOut;
      positions_.erase(positions_.begin() + (p - positions_.data()));
    } else {  // a netting reversal: the order's ticket, the position's identifier
      d.entry = Mt5DealEntry::kInOut;
      p->ticket = order;
      p->buy = buy;
      p->volume = LotsOfUnits(units - held);
      p->price_open = d.price;
      p->sl = Normalized(request.sl, r.digits);
      p->tp = Normalized(request.tp, r.digits);
      p->time = Now();
    }
  }
  deals_.push_back(d);
  return d;
}

uint32_t Mt5TradeServer::Pending(const Mt5TradeRequest& request, Mt5TradeResult& result) {
  if (IsMarket(request.type)) return kRetcodeInvalid;
  const Listing* listing = Find(request.symbol);
  if (!listing) return kRetcodeInvalid;
  if (!listing->trade_allowed) return kRetcodeMarketClosed;
  const SymbolRules& r = listing->rules;
  if (!VolumeFits(r, request.volume)) return kRetcodeInvalidVolume;
  if (!FillAllowed(listing->fill_fok, listing->fill_ioc, request.type_filling, request.type))
    return kRetcodeInvalidFill;
  if (!OnGrid(request.price, r.digits)) return kRetcodeInvalidPrice;
  const int64_t price = ToPoints(request.price, r.digits);
  if (!PendingPriceFits(r, request.type, price, feed_.QuoteOf(request.symbol)))
    return kRetcodeInvalidPrice;
  if (!StopsFit(r, IsBuy(request.type), price, request.sl, request.tp)) return kRetcodeInvalidStops;
  if (request.expiration != 0 && request.expiration <= Now()) return kRetcodeInvalidExpiration;
  Mt5Order o;
  o.ticket = next_ticket_++;
  o.symbol = request.symbol;
  o.type = request.type;
  o.volume = LotsOfUnits(LotUnits(request.volume));
  o.price_open = FromPoints(price, r.digits);
  o.sl = Normalized(request.sl, r.digits);
  o.tp = Normalized(request.tp, r.digits);
  o.expiration = request.expiration;
  o.magic = request.magic;
  o.comment = request.comment;
  o.time_setup = Now();
  orders_.push_back(o);
  result.order = o.ticket;
  result.volume = o.volume;
  result.price = o.price_open;
  return kRetcodePlaced;
}

uint32_t Mt5TradeServer::Sltp(const Mt5TradeRequest& request) {
  Mt5Position* p = nullptr;
  if (request.position != 0)
    p = FindPosition(request.position);
  else if (setup_.margin_mode == Mt5MarginMode::kNetting)
    p = NettingPosition(request.symbol);
  if (!p) return kRetcodeInvalid;
  const Listing* listing = Find(p->symbol);
  if (!listing) return kRetcodeInvalid;
  if (!listing->trade_allowed) return kRetcodeMarketClosed;
  const SymbolRules& r = listing->rules;
  const Quote q = feed_.QuoteOf(p->symbol);
  if (!StopsFit(r, p->buy, ClosePoints(p->buy, q), request.sl, request.tp))
    return kRetcodeInvalidStops;
  if (SameStops(r, request.sl, request.tp, p->sl, p->tp)) return kRetcodeNoChanges;
  if (Frozen(r, *p, q)) return kRetcodeFrozen;
  p->sl = Normalized(request.sl, r.digits);
  p->tp = Normalized(request.tp, r.digits);
  return kRetcodeDone;
}

uint32_t Mt5TradeServer::Modify(const Mt5TradeRequest& request) {
  Mt5Order* o = FindOrder(request.order);
  if (!o) return kRetcodeInvalid;
  const Listing* listing = Find(o->symbol);
  if (!listing) return kRetcodeInvalid;
  if (!listing->trade_allowed) return kRetcodeMarketClosed;
  const SymbolRules& r = listing->rules;
  if (!OnGrid(request.price, r.digits)) return kRetcodeInvalidPrice;
  const int64_t price = ToPoints(request.price, r.digits);
  const Quote q = feed_.QuoteOf(o->symbol);
  if (!PendingPriceFits(r, o->type, price, q)) return kRetcodeInvalidPrice;
  if (!StopsFit(r, IsBuy(o->type), price, request.sl, request.tp)) return kRetcodeInvalidStops;
  if (request.expiration != 0 && request.expiration <= Now()) return kRetcodeInvalidExpiration;
  if (price == ToPoints(o->price_open, r.digits) && request.expiration == o->expiration &&
      SameStops(r, request.sl, request.tp, o->sl, o->tp))
    return kRetcodeNoChanges;
  if (Frozen(r, *o, q)) return kRetcodeFrozen;
  o->price_open = FromPoints(price, r.digits);
  o->sl = Normalized(request.sl, r.digits);
  o->tp = Normalized(request.tp, r.digits);
  o->expiration = request.expiration;
  return kRetcodeDone;
}

uint32_t Mt5TradeServer::Remove(const Mt5TradeRequest& request) {
  Mt5Order* o = FindOrder(request.order);
  if (!o) return kRetcodeInvalid;
  const Listing* listing = Find(o->symbol);
  if (!listing) return kRetcodeInvalid;
  if (!listing->trade_allowed) return kRetcodeMarketClosed;
  if (Frozen(listing->rules, *o, feed_.QuoteOf(o->symbol))) return kRetcodeFrozen;
  Finish(*o, Mt5OrderState::kCanceled);
  orders_.erase(orders_.begin() + (o - orders_.data()));
  return kRetcodeDone;
}

void Mt5TradeServer::Finish(Mt5Order order, Mt5OrderState state) {
  order.state = state;
  order.time_done = Now();
  history_orders_.push_back(order);
}

void Mt5TradeServer::ReactToMarket() {
  for (size_t i = 0; i < orders_.size();) {
    const Mt5Order o = orders_[i];
    const Listing* listing = Find(o.symbol);
    if (!listing || !listing->trade_allowed) {
      i++;
      continue;
    }
    const int digits = listing->rules.digits;
    const bool expired = o.expiration != 0 && Now() >= o.expiration;
    const bool triggered = !expired && Triggered(o.type, ToPoints(o.price_open, digits),
                                                 feed_.QuoteOf(o.symbol));
    if (!expired && !triggered) {
      i++;
      continue;
    }
    orders_.erase(orders_.begin() + i);
    changes_++;
    Finish(o, triggered ? Mt5OrderState::kFilled : Mt5OrderState::kExpired);
    if (triggered) {  // filled at the order's own price, under the order's ticket
      Mt5TradeRequest from;
      from.sl = o.sl;
      from.tp = o.tp;
      from.magic = o.magic;
      from.comment = o.comment;
      Fill(*listing, IsBuy(o.type), LotUnits(o.volume), ToPoints(o.price_open, digits), o.ticket,
           nullptr, from, Mt5DealReason::kExpert);
    }
  }
  std::vector<uint64_t> tickets;  // each close moves positions about
  for (const Mt5Position& p : positions_) tickets.push_back(p.ticket);
  for (uint64_t ticket : tickets) {
    Mt5Position* p = FindPosition(ticket);
    const Listing* listing = p ? Find(p->symbol) : nullptr;
    if (!listing || !listing->trade_allowed) continue;
    const int digits = listing->rules.digits;
    const int64_t close = ClosePoints(p->buy, feed_.QuoteOf(p->symbol));
    const int64_t side = p->buy ? 1 : -1;
    double at = 0;
    Mt5DealReason reason = Mt5DealReason::kStopLoss;
    if (p->sl != 0 && side * (close - ToPoints(p->sl, digits)) <= 0) {
      at = p->sl;
      reason = Mt5DealReason::kStopLoss;
    } else if (p->tp != 0 && side * (ToPoints(p->tp, digits) - close) <= 0) {
      at = p->tp;
      reason = Mt5DealReason::kTakeProfit;
    } else {
      continue;
    }
    // A hit stop closes the whole position at the stop's own price, by an order of the server's.
    Mt5Order closing;
    closing.ticket = next_ticket_++;
    closing.symbol = p->symbol;
    closing.type = p->buy ? Mt5OrderType::kSell : Mt5OrderType::kBuy;
    closing.volume = p->volume;
    closing.price_open = at;
    closing.magic = p->magic;
    closing.time_setup = Now();
    Mt5TradeRequest from;
    from.magic = p->magic;
    Fill(*listing, !p->buy, LotUnits(p->volume), ToPoints(at, digits), closing.ticket, p, from, reason);
    changes_++;
    Finish(closing, Mt5OrderState::kFilled);
  }
}

int Mt5TradeServer::PositionsTotal() {
  Lock lock(mutex_);
  return static_cast<int>(positions_.size());
}

bool Mt5TradeServer::PositionByIndex(int index, Mt5Position& position) {
  Lock lock(mutex_);
  if (index < 0 || index >= static_cast<int>(positions_.size())) return false;
  position = positions_[index];
  return true;
}

bool Mt5TradeServer::PositionByTicket(uint64_t ticket, Mt5Position& position) {
  Lock lock(mutex_);
  const Mt5Position* p = FindPosition(ticket);
  if (!p) return false;
  position = *p;
  return true;
}

int Mt5TradeServer::OrdersTotal() {
  Lock lock(mutex_);
  return static_cast<int>(orders_.size());
}

bool Mt5TradeServer::OrderByIndex(int index, Mt5Order& order) {
  Lock lock(mutex_);
  if (index < 0 || index >= static_cast<int>(orders_.size())) return false;
  order = orders_[index];
  return true;
}

std::vector<Mt5Deal> Mt5TradeServer::HistoryDeals(int64_t from, int64_t to) {
  Lock lock(mutex_);
  std::vector<Mt5Deal> selected;
  for (const Mt5Deal& d : deals_)
    if (d.time >= from && d.time <= to) selected.push_back(d);
  return selected;
}

std::vector<Mt5Order> Mt5TradeServer::HistoryOrders(int64_t from, int64_t to) {
  Lock lock(mutex_);
  std::vector<Mt5Order> selected;
  for (const Mt5Order& o : history_orders_)
    if (o.time_done >= from && o.time_done <= to) selected.push_back(o);
  return selected;
}

bool Mt5TradeServer::SymbolInfo(const std::string& symbol, Mt5SymbolFacts& facts) {
  Lock lock(mutex_);
  const Listing* listing = Find(symbol);
  if (!listing) return false;
  const SymbolRules& r = listing->rules;
  const Quote q = feed_.QuoteOf(symbol);
  facts.volume_min = r.lot_min;
  facts.volume_max = r.lot_max;
  facts.volume_step = r.lot_step;
  facts.stops_level = r.stops_level;
  facts.freeze_level = r.freeze_level;
  facts.digits = r.digits;
  facts.point = PointOf(r.digits);
  facts.bid = FromPoints(q.bid, r.digits);
  facts.ask = FromPoints(q.ask, r.digits);
  facts.fill_fok = listing->fill_fok;
  facts.fill_ioc = listing->fill_ioc;
  facts.trade_allowed = listing->trade_allowed;
  return true;
}

double Mt5TradeServer::AccountBalance() {
  Lock lock(mutex_);
  return balance_;
}

double Mt5TradeServer::AccountEquity() {
  Lock lock(mutex_);
  return Equity();
}

double Mt5TradeServer::AccountFreeMargin() {
  Lock lock(mutex_);
  return FreeMargin();
}

int64_t Mt5TradeServer::TimeCurrent() {
  Lock lock(mutex_);
  return Now();
}

uint64_t Mt5TradeServer::Changes() {
  Lock lock(mutex_);
  return changes_;
}

const Mt5TradeServer::Listing* Mt5TradeServer::Find(const std::string& symbol) const {
  auto found = symbols_.find(symbol);
  return found == symbols_.end() ? nullptr : &found->second;
}

Mt5Position* Mt5TradeServer::FindPosition(uint64_t ticket) {
  for (Mt5Position& p : positions_)
    if (p.ticket == ticket) return &p;
  return nullptr;
}

Mt5Position* Mt5TradeServer::NettingPosition(const std::string& symbol) {
  for (Mt5Position& p : positions_)
    if (p.symbol == symbol) return &p;
  return nullptr;
}

Mt5Order* Mt5TradeServer::FindOrder(uint64_t ticket) {
  for (Mt5Order& o : orders_)
    if (o.ticket == ticket) return &o;
  return nullptr;
}

// The contract's worth over the leverage, taken as the account's currency.
double Mt5TradeServer::Margin(const SymbolRules& rules, long long lots_units) const {
  return LotsOfUnits(lots_units) * rules.contract_size / setup_.leverage;
}

// The balance with the positions' profit at the current close prices.
double Mt5TradeServer::Equity() const {
  double equity = balance_;
  for (const Mt5Position& p : positions_) {
    const Listing* listing = Find(p.symbol);
    if (!listing) continue;
    const SymbolRules& r = listing->rules;
    const double close = FromPoints(ClosePoints(p.buy, feed_.QuoteOf(p.symbol)), r.digits);
    const double move = p.buy ? close - p.price_open : p.price_open - close;
    equity += move * p.volume * r.contract_size;
  }
  return equity;
}

// Equity less the positions' margin.
double Mt5TradeServer::FreeMargin() const {
  double free = Equity();
  for (const Mt5Position& p : positions_)
    if (const Listing* listing = Find(p.symbol)) free -= Margin(listing->rules, LotUnits(p.volume));
  return free;
}
