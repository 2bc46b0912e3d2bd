#include "trade_server.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "order_types.h"
#include "trade_error_codes.h"

namespace {

using Lock = std::lock_guard<std::mutex>;

// Stops and pending prices keep at least the stops level from their reference, and a point.
int64_t MinDistance(const SymbolRules& r) { return std::max(r.stops_level, 1); }

// Where a market order of `type` closes, which its stops are measured from.
int64_t ClosePoints(int type, const Quote& q) { return IsBuyType(type) ? q.bid : q.ask; }

// Where an order of `type` opens: a market order's fill, the side a pending order watches.
int64_t OpenPoints(int type, const Quote& q) { return IsBuyType(type) ? q.ask : q.bid; }

bool StopValueValid(double stop, int digits) { return stop == 0 || OnGrid(stop, digits); }

bool StopsFit(const SymbolRules& r, int type, int64_t reference, double stop_loss,
              double take_profit) {
  if (!StopValueValid(stop_loss, r.digits) || !StopValueValid(take_profit, r.digits)) return false;
  const int64_t side = IsBuyType(type) ? 1 : -1;
  if (stop_loss != 0 && side * (reference - ToPoints(stop_loss, r.digits)) < MinDistance(r))
    return false;
  return take_profit == 0 || side * (ToPoints(take_profit, r.digits) - reference) >= MinDistance(r);
}

bool PendingPriceFits(const SymbolRules& r, int type, int64_t price, const Quote& q) {
  switch (type) {
    case kBuyLimit: return q.ask - price >= MinDistance(r);
    case kSellLimit: return price - q.bid >= MinDistance(r);
    case kBuyStop: return price - q.ask >= MinDistance(r);
    case kSellStop: return q.bid - price >= MinDistance(r);
    default: return false;
  }
}

bool Triggered(int type, int64_t price, const Quote& q) {
  switch (type) {
    case kBuyLimit: return q.ask <= price;
    case kSellLimit: return q.bid >= price;
    case kBuyStop: return q.ask >= price;
    case kSellStop: return q.bid <= price;
    default: return false;
  }
}

// The price asked for by a market order or a close: on the grid, and within the slippage
// (points) of the market, or the server requotes.
int CheckRequestedPrice(double price, int digits, int64_t market, int slippage) {
  if (!OnGrid(price, digits)) return kErrInvalidPrice;
  return std::llabs(ToPoints(price, digits) - market) <= std::max(slippage, 0) ? kErrNone
                                                                              : kErrRequote;
}

// Within the freeze level nothing may change: a market order whose stop is that near its close
// price, a pending order whose price is that near the market.
bool Frozen(const SymbolRules& r, const SimOrder& o, const Quote& q) {
  if (r.freeze_level <= 0) return false;
  auto near = [&](double price, int64_t market) {
    return price != 0 && std::llabs(ToPoints(price, r.digits) - market) < r.freeze_level;
  };
  if (!IsMarketType(o.type)) return near(o.open_price, OpenPoints(o.type, q));
  return near(o.stop_loss, ClosePoints(o.type, q)) || near(o.take_profit, ClosePoints(o.type, q));
}

double Normalized(double price, int digits) {
  return price == 0 ? 0 : FromPoints(ToPoints(price, digits), digits);
}

// What a journal line may carry without the arithmetic on it overflowing.
bool Plausible(double price) { return std::isfinite(price) && price >= 0 && price < 1e9; }
bool Plausible(const SimOrder& o) {
  return o.lots >= 0 && o.lots <= 1e9 && Plausible(o.open_price) && Plausible(o.stop_loss) &&
         Plausible(o.take_profit) && Plausible(o.close_price);
}

}  // namespace

TradeServer::TradeServer(const AccountSetup& setup)
    : setup_(setup), feed_(setup.seed), balance_(setup.balance), next_ticket_(setup.first_ticket) {
  setup_.tick_ms = std::max(setup_.tick_ms, 1);
  setup_.leverage = std::max(setup_.leverage, 1);
  now_ms_ = int64_t{setup_.start_time} * 1000;
  next_tick_ms_ = now_ms_ + setup_.tick_ms;
}

bool TradeServer::AddSymbol(const SymbolRules& rules, double bid, int spread_points,
                            int walk_points) {
  if (!RulesUsable(rules) || !OnGrid(bid, rules.digits)) return false;
  Lock lock(mutex_);
  symbols_[rules.name] = Listing{rules, true};
  feed_.AddSymbol(rules.name, ToPoints(bid, rules.digits), spread_points, walk_points);
  return true;
}

bool TradeServer::SetTradeAllowed(const std::string& symbol, bool allowed) {
  Lock lock(mutex_);
  auto found = symbols_.find(symbol);
  if (found == symbols_.end()) return false;
  found->second.trade_allowed = allowed;
  return true;
}

bool TradeServer::SetBid(const std::string& symbol, double bid) {
  Lock lock(mutex_);
  const Listing* listing = Find(symbol);
  if (!listing || !OnGrid(bid, listing->rules.digits)) return false;
  feed_.SetBid(symbol, ToPoints(bid, listing->rules.digits));
  ReactToMarket();
  return true;
}

bool TradeServer::SetAsk(const std::string& symbol, double ask) {
  Lock lock(mutex_);
  const Listing* listing = Find(symbol);
  if (!listing || !OnGrid(ask, listing->rules.digits)) return false;
  feed_.SetAsk(symbol, ToPoints(ask, listing->rules.digits));
  ReactToMarket();
  return true;
}

void TradeServer::Advance(int ms) {
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

void TradeServer::SetLogin(const std::string& login) {
  Lock lock(mutex_);
  setup_.login = login;
}

void TradeServer::SetFaults(FaultPlan plan) {
  Lock lock(mutex_);
  faults_ = std::move(plan);
}

bool TradeServer::OpenJournal(const std::string& path, std::string& error) {
  Lock lock(mutex_);
  if (!trades_.empty() || !history_.empty()) {
    error = "the account has orders already";
    return false;
  }
  std::vector<JournalEvent> events;
  journaled_ = journal_.Open(path, events, error);
  if (!journaled_) return false;
  int64_t last_ms = now_ms_;
  for (size_t i = 0; i < events.size(); i++) {
    if (!Apply(events[i])) {
      error = path + " line " + std::to_string(i + 1) + ": does not fit the orders before it";
      trades_.clear();
      history_.clear();
      balance_ = setup_.balance;
      next_ticket_ = setup_.first_ticket;
      journaled_ = false;
      return false;
    }
    last_ms = std::max(last_ms, int64_t{events[i].time} * 1000);
  }
  if (last_ms > now_ms_) {  // the account's time never runs backwards
    now_ms_ = last_ms;
    next_tick_ms_ = now_ms_ + setup_.tick_ms;
  }
  return true;
}

template <typename Execute>
int TradeServer::TradeCall(Execute execute) {
  std::unique_lock<std::mutex> context(trade_context_, std::try_to_lock);
  if (!context.owns_lock()) {
    Lock lock(mutex_);
    return RecordError(kErrTradeContextBusy);
  }
  if (setup_.execution_ms > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(setup_.execution_ms));
  Lock lock(mutex_);
  const TradeFault fault = faults_.Next();
  if (fault != TradeFault::kNone && fault != TradeFault::kTimeoutAfterExecution)
    return RecordError(FaultError(fault));
  const int error = execute();
  return RecordError(fault == TradeFault::kTimeoutAfterExecution ? kErrTradeTimeout : error);
}

int TradeServer::OrderSend(const std::string& symbol, int type, double lots, double price,
                           int slippage, double stop_loss, double take_profit,
                           const std::string& comment, int magic, int expiration) {
  int ticket = -1;
  const int error = TradeCall([&] {
    return Send(symbol, type, lots, price, slippage, stop_loss, take_profit, comment, magic,
                expiration, ticket);
  });
  return error == kErrNone ? ticket : -1;
}

bool TradeServer::OrderClose(int ticket, double lots, double price, int slippage) {
  return TradeCall([&] { return Close(ticket, lots, price, slippage); }) == kErrNone;
}

bool TradeServer::OrderModify(int ticket, double price, double stop_loss, double take_profit,
                              int expiration) {
  return TradeCall([&] { return Modify(ticket, price, stop_loss, take_profit, expiration); }) ==
         kErrNone;
}

bool TradeServer::OrderDelete(int ticket) {
  return TradeCall([&] { return Delete(ticket); }) == kErrNone;
}

int TradeServer::Send(const std::string& symbol, int type, double lots, double price,
                      int slippage, double stop_loss, double take_profit,
                      const std::string& comment, int magic, int expiration, int& ticket) {
  const Listing* listing = Find(symbol);
  if (!listing) return kErrUnknownSymbol;
  if (!listing->trade_allowed) return kErrMarketClosed;
  if (!IsKnownType(type)) return kErrInvalidTradeParameters;
  const SymbolRules& r = listing->rules;
  if (!VolumeFits(r, lots)) return kErrInvalidTradeVolume;
  const Quote q = QuoteOf(symbol);
  int64_t open = 0;
  if (IsMarketType(type)) {
    open = OpenPoints(type, q);
    if (int error = CheckRequestedPrice(price, r.digits, open, slippage)) return error;
    if (!StopsFit(r, type, ClosePoints(type, q), stop_loss, take_profit)) return kErrInvalidStops;
    if (FreeMargin() < Margin(r, lots)) return kErrNotEnoughMoney;
    expiration = 0;  // for pending orders only
  } else {
    if (!OnGrid(price, r.digits)) return kErrInvalidPrice;
    open = ToPoints(price, r.digits);
    if (!PendingPriceFits(r, type, open, q) || !StopsFit(r, type, open, stop_loss, take_profit))
      return kErrInvalidStops;
    if (expiration != 0 && expiration <= Now()) return kErrInvalidTradeParameters;
  }
  JournalEvent e;
  e.kind = JournalEvent::kOpen;
  e.time = Now();
  SimOrder& o = e.order;
  o.ticket = next_ticket_;
  o.type = type;
  o.lots = LotsOfUnits(LotUnits(lots));
  o.symbol = symbol;
  o.open_price = FromPoints(open, r.digits);
  o.stop_loss = Normalized(stop_loss, r.digits);
  o.take_profit = Normalized(take_profit, r.digits);
  o.comment = comment;
  o.magic = magic;
  o.expiration = expiration;
  if (!Commit(e)) return kErrCommon;
  ticket = o.ticket;
  return kErrNone;
}

int TradeServer::Close(int ticket, double lots, double price, int slippage) {
  const SimOrder* o = FindOpen(ticket);
  if (!o || !IsMarketType(o->type)) return kErrInvalidTicket;
  const Listing* listing = Find(o->symbol);
  if (!listing) return kErrUnknownSymbol;
  if (!listing->trade_allowed) return kErrMarketClosed;
  const SymbolRules& r = listing->rules;
  if (!VolumeFits(r, lots)) return kErrInvalidTradeVolume;
  const long long rest = LotUnits(o->lots) - LotUnits(lots);
  if (rest < 0 || (rest > 0 && rest < LotUnits(r.lot_min))) return kErrInvalidTradeVolume;
  const Quote q = QuoteOf(o->symbol);
  const int64_t market = ClosePoints(o->type, q);
  if (int error = CheckRequestedPrice(price, r.digits, market, slippage)) return error;
  if (Frozen(r, *o, q)) return kErrModificationDenied;
  JournalEvent e;
  e.time = Now();
  e.order.ticket = ticket;
  e.order.close_price = FromPoints(market, r.digits);
  if (rest == 0) {
    e.kind = JournalEvent::kClose;
  } else {
    e.kind = JournalEvent::kPartialClose;
    e.order.lots = LotsOfUnits(LotUnits(lots));
    e.remainder_ticket = next_ticket_;
  }
  return Commit(e) ? kErrNone : kErrCommon;
}

int TradeServer::Modify(int ticket, double price, double stop_loss, double take_profit,
                        int expiration) {
  const SimOrder* o = FindOpen(ticket);
  if (!o) return kErrInvalidTicket;
  const Listing* listing = Find(o->symbol);
  if (!listing) return kErrUnknownSymbol;
  if (!listing->trade_allowed) return kErrMarketClosed;
  const SymbolRules& r = listing->rules;
  const bool pending = !IsMarketType(o->type);
  if (!StopValueValid(stop_loss, r.digits) || !StopValueValid(take_profit, r.digits))
    return kErrInvalidStops;
  if (pending && !OnGrid(price, r.digits)) return kErrInvalidPrice;
  // A market order's price and expiration are not its to change: they are ignored.
  JournalEvent e;
  e.kind = JournalEvent::kModify;
  e.time = Now();
  e.order.ticket = ticket;
  e.order.open_price = pending ? Normalized(price, r.digits) : o->open_price;
  e.order.stop_loss = Normalized(stop_loss, r.digits);
  e.order.take_profit = Normalized(take_profit, r.digits);
  e.order.expiration = pending ? expiration : o->expiration;
  // Compared in points: a 32-bit build keeps doubles in wider registers, so two prices that
  // print the same need not compare equal as doubles.
  const auto same = [&r](double a, double b) {
    return ToPoints(a, r.digits) == ToPoints(b, r.digits);
  };
  if (same(e.order.open_price, o->open_price) && same(e.order.stop_loss, o->stop_loss) &&
      same(e.order.take_profit, o->take_profit) && e.order.expiration == o->expiration)
    return kErrNoResult;
  const Quote q = QuoteOf(o->symbol);
  const int64_t open = ToPoints(e.order.open_price, r.digits);
  if (pending && !PendingPriceFits(r, o->type, open, q)) return kErrInvalidStops;
  if (!StopsFit(r, o->type, pending ? open : ClosePoints(o->type, q), stop_loss, take_profit))
    return kErrInvalidStops;
  if (pending && expiration != 0 && expiration <= Now()) return kErrInvalidTradeParameters;
  if (Frozen(r, *o, q)) return kErrModificationDenied;
  return Commit(e) ? kErrNone : kErrCommon;
}

int TradeServer::Delete(int ticket) {
  const SimOrder* o = FindOpen(ticket);
  if (!o || IsMarketType(o->type)) return kErrInvalidTicket;
  const Listing* listing = Find(o->symbol);
  if (!listing) return kErrUnknownSymbol;
  if (!listing->trade_allowed) return kErrMarketClosed;
  const Quote q = QuoteOf(o->symbol);
  if (Frozen(listing->rules, *o, q)) return kErrModificationDenied;
  JournalEvent e;
  e.kind = JournalEvent::kDelete;
  e.time = Now();
  e.order.ticket = ticket;
  e.order.close_price = FromPoints(OpenPoints(o->type, q), listing->rules.digits);
  return Commit(e) ? kErrNone : kErrCommon;
}

bool TradeServer::Commit(const JournalEvent& event) {
  if (journaled_ && !journal_.Append(event)) return false;
  return Apply(event);
}

bool TradeServer::Apply(const JournalEvent& e) {
  const SimOrder& change = e.order;
  if (!Plausible(change)) return false;
  if (e.kind == JournalEvent::kOpen) {
    if (TicketUsed(change.ticket) || !IsKnownType(change.type) || change.lots <= 0) return false;
    trades_.push_back(change);
    trades_.back().open_time = e.time;
    next_ticket_ = std::max(next_ticket_, change.ticket + 1);
    return true;
  }
  SimOrder* o = FindOpen(change.ticket);
  if (!o) return false;
  const bool pending = !IsMarketType(o->type);
  SimOrder closed = *o;
  auto close = [&] {
    closed.close_time = e.time;
    closed.close_price = change.close_price;
    if (!pending) balance_ += Profit(closed, closed.close_price);
    trades_.erase(trades_.begin() + (o - trades_.data()));
    history_.push_back(closed);
  };
  switch (e.kind) {
    case JournalEvent::kModify:
      o->open_price = change.open_price;
      o->stop_loss = change.stop_loss;
      o->take_profit = change.take_profit;
      o->expiration = change.expiration;
      return true;
    case JournalEvent::kTrigger:
      if (!pending || !IsMarketType(change.type)) return false;
      o->type = change.type;
      o->open_time = e.time;
      return true;
    case JournalEvent::kClose:
    case JournalEvent::kDelete:
    case JournalEvent::kExpire:
      if (pending == (e.kind == JournalEvent::kClose)) return false;
      close();
      return true;
    case JournalEvent::kPartialClose: {
      if (pending || change.lots <= 0 || LotUnits(change.lots) >= LotUnits(o->lots) ||
          TicketUsed(e.remainder_ticket))
        return false;
      const SimOrder rest = SplitOff(closed, change.lots, e.remainder_ticket);
      close();
      trades_.push_back(rest);
      next_ticket_ = std::max(next_ticket_, e.remainder_ticket + 1);
      return true;
    }
    case JournalEvent::kOpen:
      break;
  }
  return false;
}

void TradeServer::ReactToMarket() {
  std::vector<int> tickets;  // each change moves orders about
  for (const SimOrder& o : trades_) tickets.push_back(o.ticket);
  for (int ticket : tickets) {
    const SimOrder* o = FindOpen(ticket);
    const Listing* listing = o ? Find(o->symbol) : nullptr;
    if (!listing || !listing->trade_allowed) continue;
    const int digits = listing->rules.digits;
    const Quote q = QuoteOf(o->symbol);
    JournalEvent e;
    e.time = Now();
    e.order.ticket = ticket;
    if (!IsMarketType(o->type)) {
      if (o->expiration != 0 && Now() >= o->expiration) {
        e.kind = JournalEvent::kExpire;
        e.order.close_price = FromPoints(OpenPoints(o->type, q), digits);
      } else if (Triggered(o->type, ToPoints(o->open_price, digits), q)) {
        e.kind = JournalEvent::kTrigger;
        e.order.type = IsBuyType(o->type) ? kBuy : kSell;
      } else {
        continue;
      }
    } else {
      // A stop that is hit closes the order at the stop's own price.
      const int64_t close = ClosePoints(o->type, q);
      const int64_t side = IsBuyType(o->type) ? 1 : -1;
      e.kind = JournalEvent::kClose;
      if (o->stop_loss != 0 && side * (close - ToPoints(o->stop_loss, digits)) <= 0) {
        e.by = ClosedBy::kStopLoss;
        e.order.close_price = o->stop_loss;
      } else if (o->take_profit != 0 && side * (ToPoints(o->take_profit, digits) - close) <= 0) {
        e.by = ClosedBy::kTakeProfit;
        e.order.close_price = o->take_profit;
      } else {
        continue;
      }
    }
    Commit(e);  // one that cannot be journaled stays as it is, and is tried again next time
  }
}

int TradeServer::GetLastError() {
  Lock lock(mutex_);
  auto found = last_errors_.find(std::this_thread::get_id());
  if (found == last_errors_.end()) return kErrNone;
  return std::exchange(found->second, kErrNone);
}

bool TradeServer::IsTradeContextBusy() {
  if (!trade_context_.try_lock()) return true;
  trade_context_.unlock();
  return false;
}

int TradeServer::OrdersTotal() {
  Lock lock(mutex_);
  return static_cast<int>(trades_.size());
}

int TradeServer::OrdersHistoryTotal() {
  Lock lock(mutex_);
  return static_cast<int>(history_.size());
}

bool TradeServer::OrderSelectByPos(int index, OrderPool pool, SimOrder& order) {
  Lock lock(mutex_);
  const std::vector<SimOrder>& orders = pool == kModeHistory ? history_ : trades_;
  if (index < 0 || index >= static_cast<int>(orders.size())) return false;
  order = orders[index];
  return true;
}

bool TradeServer::OrderSelectByTicket(int ticket, SimOrder& order) {
  Lock lock(mutex_);
  for (const auto* pool : {&trades_, &history_})
    for (const SimOrder& o : *pool)
      if (o.ticket == ticket) return order = o, true;
  return false;
}

double TradeServer::MarketInfo(const std::string& symbol, int mode) {
  Lock lock(mutex_);
  const Listing* listing = Find(symbol);
  if (!listing) return RecordError(kErrUnknownSymbol), 0;
  const SymbolRules& r = listing->rules;
  const Quote q = QuoteOf(symbol);
  switch (mode) {
    case kModeBid: return FromPoints(q.bid, r.digits);
    case kModeAsk: return FromPoints(q.ask, r.digits);
    case kModePoint: return PointOf(r.digits);
    case kModeDigits: return r.digits;
    case kModeSpread: return static_cast<double>(q.ask - q.bid);
    case kModeStopLevel: return r.stops_level;
    case kModeLotSize: return r.contract_size;
    case kModeTradeAllowed: return listing->trade_allowed ? 1 : 0;
    case kModeMinLot: return r.lot_min;
    case kModeLotStep: return r.lot_step;
    case kModeMaxLot: return r.lot_max;
    case kModeFreezeLevel: return r.freeze_level;
  }
  return RecordError(kErrInvalidFunctionParameter), 0;
}

std::string TradeServer::AccountLogin() {
  Lock lock(mutex_);
  return setup_.login;
}

double TradeServer::AccountBalance() {
  Lock lock(mutex_);
  return balance_;
}

double TradeServer::AccountEquity() {
  Lock lock(mutex_);
  return Equity();
}

double TradeServer::AccountFreeMargin() {
  Lock lock(mutex_);
  return FreeMargin();
}

int TradeServer::TimeCurrent() {
  Lock lock(mutex_);
  return Now();
}

const TradeServer::Listing* TradeServer::Find(const std::string& symbol) const {
  auto found = symbols_.find(symbol);
  return found == symbols_.end() ? nullptr : &found->second;
}

SimOrder* TradeServer::FindOpen(int ticket) {
  for (SimOrder& o : trades_)
    if (o.ticket == ticket) return &o;
  return nullptr;
}

bool TradeServer::TicketUsed(int ticket) const {
  for (const auto* pool : {&trades_, &history_})
    for (const SimOrder& o : *pool)
      if (o.ticket == ticket) return true;
  return false;
}

// In the account's currency, taken as the symbol's quote currency; rounded to cents.
double TradeServer::Profit(const SimOrder& o, double close_price) const {
  const Listing* listing = Find(o.symbol);
  if (!listing) return 0;
  const double move = IsBuyType(o.type) ? close_price - o.open_price : o.open_price - close_price;
  return std::round(move * o.lots * listing->rules.contract_size * 100) / 100;
}

double TradeServer::Equity() const {
  double equity = balance_;
  for (const SimOrder& o : trades_) {
    const Listing* listing = Find(o.symbol);
    if (listing && IsMarketType(o.type))
      equity += Profit(o, FromPoints(ClosePoints(o.type, QuoteOf(o.symbol)), listing->rules.digits));
  }
  return equity;
}

// The contract's worth in its base currency over the leverage, taken as the account's currency.
double TradeServer::Margin(const SymbolRules& rules, double lots) const {
  return lots * rules.contract_size / setup_.leverage;
}

double TradeServer::FreeMargin() const {
  double margin = 0;
  for (const SimOrder& o : trades_) {
    const Listing* listing = Find(o.symbol);
    if (listing && IsMarketType(o.type)) margin += Margin(listing->rules, o.lots);
  }
  return Equity() - margin;
}

int TradeServer::RecordError(int error) {
  last_errors_[std::this_thread::get_id()] = error;
  return error;
}
