#include "copy_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "ascii_case.h"
#include "copy_link.h"
#include "copy_lots.h"
#include "fixed_point.h"
#include "copied_masters.h"
#include "master_chains.h"
#include "order_texts.h"
#include "order_types.h"
#include "plan_texts.h"
#include "price_rules.h"
#include "symbol_mapping.h"

namespace {

// Lots below this difference are the same lots: every lot step is far coarser.
constexpr double kLotsTolerance = 1e-9;

std::string Number(int64_t value) {
  std::string text;
  AppendInt(text, value);
  return text;
}

// A digest of what the master may change about its order; the ticket changes on a partial close.
uint32_t MasterState(const TOrder& order) {
  uint32_t hash = 2166136261u;
  auto mix = [&](const auto& field) {
    unsigned char bytes[sizeof field];
    std::memcpy(bytes, &field, sizeof field);
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 16777619u;
  };
  mix(order.num1), mix(order.type), mix(order.lots), mix(order.price6), mix(order.price7);
  mix(order.price8), mix(order.close_time), mix(order.num12);
  return hash;
}

bool Readable(const TOrder& order) {
  auto finite = [](double value) { return std::isfinite(value) && value >= 0; };
  return IsKnownType(order.type) && finite(order.lots) && order.lots > 0 && finite(order.price6) &&
         order.price6 > 0 && finite(order.price7) && finite(order.price8) && order.num12 >= 0;
}

// A closed copy means the chain was copied, except a deleted pending copy for a market order:
// that is what a trigger on the master leaves behind.
bool BlocksReopening(const SlaveOrder& closed_copy, int32_t type_to_open) {
  return IsMarketType(closed_copy.type) || !IsMarketType(type_to_open);
}

bool HasPrices(const SymbolFacts& facts) { return facts.bid > 0 && facts.ask > 0; }

std::vector<const SlaveOrder*> WithMagic(const std::vector<SlaveOrder>& orders, int32_t magic) {
  std::vector<const SlaveOrder*> found;
  for (const SlaveOrder& order : orders)
    if (order.magic == magic) found.push_back(&order);
  return found;
}

// "4711 #1001": the master chain by its login and root ticket, as the copy's comment names it.
std::string ChainName(const MasterChain& chain) {
  std::string text(chain.login);
  return text + " #" + Number(chain.root_ticket);
}

std::string CopyName(const MasterChain& chain, const SlaveOrder& copy) {
  return "copy #" + Number(copy.ticket) + " of " + ChainName(chain);
}

std::string TooCloseText(const SymbolFacts& facts) {
  return "too close to the market (stops level " + Number(facts.stops_level) + " points)";
}

class Planner {
 public:
  Planner(const SlaveState& slave, const CopySettings& settings, CopyMemory& memory)
      : slave_(slave), settings_(settings), memory_(memory) {}

  void Chain(const MasterChain& chain);
  bool ShowsDone(const CopyAction& action) const;

  CopyPlan plan;

 private:
  void Open(const MasterChain& chain, const std::vector<const SlaveOrder*>& closed_copies);
  void Manage(const MasterChain& chain, const std::vector<const SlaveOrder*>& copies);
  bool Reduce(const MasterChain& chain, const std::vector<const SlaveOrder*>& copies);
  bool ModifyMarket(const MasterChain& chain, const SlaveOrder& copy, const SymbolFacts& facts);
  bool ModifyPending(const MasterChain& chain, const SlaveOrder& copy, const SymbolFacts& facts);
  void Close(const MasterChain& chain, const SlaveOrder& copy, double lots, std::string why);
  void Delete(const MasterChain& chain, const SlaveOrder& copy, std::string why);

  int32_t MappedType(int32_t master_type) const {
    return settings_.reverse ? ReversedType(master_type) : master_type;
  }
  double WantedStopLoss(const TOrder& order, int32_t digits) const {
    return RoundToDigits(settings_.reverse ? order.price8 : order.price7, digits);
  }
  double WantedTakeProfit(const TOrder& order, int32_t digits) const {
    return RoundToDigits(settings_.reverse ? order.price7 : order.price8, digits);
  }
  // The masters' clock: their order times and expirations are their server's.
  int64_t MasterNow() const { return slave_.now + settings_.master_time_offset; }
  // A master's pending expiration on the slave's clock; 0, none, stays 0.
  int32_t SlaveExpiration(int32_t master_expiration) const {
    if (master_expiration == 0) return 0;
    return int32_t(std::clamp<int64_t>(int64_t(master_expiration) - settings_.master_time_offset, 1, INT32_MAX));
  }
  const SymbolFacts* UsableFacts(std::string_view symbol) const {
    const SymbolFacts* facts = FindSymbol(slave_.symbols, symbol);
    return facts && facts->exists && SymbolFactsUsable(*facts) ? facts : nullptr;
  }

  CopyAction Action(const MasterChain& chain, ActionKind kind) const;
  void Add(CopyAction action, std::string line);
  void Skip(const MasterChain& chain, const std::string& why);

  const SlaveState& slave_;
  const CopySettings& settings_;
  CopyMemory& memory_;
};

void Planner::Skip(const MasterChain& chain, const std::string& why) {
  std::string line = "skip master ";
  line += chain.login;
  line += " #" + Number(chain.order->num1) + " ";
  line += SymbolOf(*chain.order);
  plan.log.push_back(line + ": " + why);
}

CopyAction Planner::Action(const MasterChain& chain, ActionKind kind) const {
  CopyAction action;
  action.kind = kind;
  action.login = chain.login;
  action.root_ticket = chain.root_ticket;
  action.magic = chain.magic;
  action.master_state = MasterState(*chain.order);
  return action;
}

void Planner::Add(CopyAction action, std::string line) {
  plan.actions.push_back(std::move(action));
  plan.log.push_back(std::move(line));
}

void Planner::Chain(const MasterChain& chain) {
  std::vector<const SlaveOrder*> copies = WithMagic(slave_.open, chain.magic);
  if (chain.open && !chain.resolved)
    return Skip(chain, "the history of its partial closes is incomplete (back to #" + Number(chain.root_ticket) + "); not copied");
  if (!chain.open && copies.empty()) return;
  if (chain.open && !Readable(*chain.order)) return Skip(chain, "unreadable order; not copied");
  std::string blocking = memory_.Blocking(chain.magic, MasterState(*chain.order), slave_.now);
  if (!blocking.empty()) return Skip(chain, blocking);

  if (!chain.open) {
    const SlaveOrder& copy = *copies.front();
    std::string why = "the master closed #" + Number(chain.order->num1);
    if (IsMarketType(copy.type)) return Close(chain, copy, copy.lots, why);
    return Delete(chain, copy, IsMarketType(chain.order->type) ? why : "the master deleted #" + Number(chain.order->num1));
  }
  if (copies.empty()) return Open(chain, WithMagic(slave_.history, chain.magic));
  Manage(chain, copies);
}

void Planner::Open(const MasterChain& chain, const std::vector<const SlaveOrder*>& closed_copies) {
  const TOrder& order = *chain.order;
  for (const SlaveOrder* closed : closed_copies)
    if (BlocksReopening(*closed, order.type))
      return Skip(chain, "copied before and closed on this account as #" + Number(closed->ticket) + "; not reopened");
  if (!IsMarketType(order.type) && !settings_.copy_pending) return Skip(chain, "pending orders are not copied");
  if (!settings_.allow_magics.empty() &&
      std::find(settings_.allow_magics.begin(), settings_.allow_magics.end(), order.num11) ==
          settings_.allow_magics.end())
    return Skip(chain, "magic " + Number(order.num11) + " is not among the allowed");
  if (!settings_.comment_contains.empty() && !ContainsIgnoringCase(CommentOf(order), settings_.comment_contains))
    return Skip(chain, "comment lacks \"" + settings_.comment_contains + "\"");
  if (!settings_.copy_old && slave_.following_since > 0 &&
      chain.root_open_time < slave_.following_since + settings_.master_time_offset)
    return Skip(chain, "opened before this account began following");
  std::string symbol = SlaveSymbol(settings_, SymbolOf(order));
  if (!SymbolAllowed(settings_, SymbolOf(order), symbol)) return Skip(chain, "symbol filtered out by the settings");
  const SymbolFacts* found = FindSymbol(slave_.symbols, symbol);
  if (!found || !found->exists) return Skip(chain, "symbol " + symbol + " not offered");
  const SymbolFacts& facts = *found;
  if (!SymbolFactsUsable(facts)) return Skip(chain, "symbol " + symbol + " has no usable point, digits or lot sizes");
  if (!HasPrices(facts)) return Skip(chain, "no price for " + symbol);

  int32_t type = MappedType(order.type);
  double lots = CopyLots(settings_, order.lots, chain.original_lots, facts);
  if (lots < facts.lot_min - kLotsTolerance)
    return Skip(chain, "lots " + LotsText(lots) + " after the settings and the step " + LotsText(facts.lot_step) +
                           " are below the minimum " + LotsText(facts.lot_min));

  double price;
  if (IsMarketType(type)) {
    price = IsBuyType(type) ? facts.ask : facts.bid;
    int64_t age = MasterNow() - order.num2;
    if (settings_.max_signal_age > 0 && age > settings_.max_signal_age)
      return Skip(chain, "signal is " + Number(age) + " s old (at most " + Number(settings_.max_signal_age) + ")");
    double points = std::round(std::fabs(price - order.price6) / facts.point);
    if (settings_.max_deviation_points > 0 && points > settings_.max_deviation_points)
      return Skip(chain, "price " + PriceText(price, facts.digits) + " is " + Number(int64_t(points)) +
                             " points from the master's " + PriceText(order.price6, facts.digits) +
                             " (at most " + Number(settings_.max_deviation_points) + ")");
  } else {
    price = RoundToDigits(order.price6, facts.digits);
    if (order.num12 != 0 && order.num12 <= MasterNow())
      return Skip(chain, "expired at " + Number(SlaveExpiration(order.num12)));
    if (!PendingPriceFits(type, price, facts))
      return Skip(chain, "price " + PriceText(price, facts.digits) + " " + TooCloseText(facts));
  }

  CopyAction action = Action(chain, ActionKind::kOpen);
  std::vector<std::string> notes;
  if (settings_.copy_stops) {
    double reference = IsMarketType(type) ? StopReference(type, facts) : price;
    action.sl = WantedStopLoss(order, facts.digits);
    action.tp = WantedTakeProfit(order, facts.digits);
    auto widen = [&](const char* name, double& stop, bool fits, double widened) {
      if (fits) return;
      notes.push_back("copy of " + ChainName(chain) + ": " + name + " " + PriceText(stop, facts.digits) + " " +
                      TooCloseText(facts) + ", widened to " + PriceText(widened, facts.digits));
      stop = widened;
    };
    widen("sl", action.sl, StopLossFits(type, reference, action.sl, facts), WidenedStopLoss(type, reference, facts));
    widen("tp", action.tp, TakeProfitFits(type, reference, action.tp, facts), WidenedTakeProfit(type, reference, facts));
  }
  action.symbol = facts.name;
  action.type = type;
  action.lots = lots;
  action.price = price;
  action.expiration = IsMarketType(type) ? 0 : SlaveExpiration(order.num12);
  action.comment = CopyComment(chain.login, chain.root_ticket);
  std::string line = "open copy of " + ChainName(chain) + ": " + OrderTypeName(type) + " " + LotsText(lots) + " " +
                     facts.name + " at " + PriceText(price, facts.digits) + " sl " +
                     PriceText(action.sl, facts.digits) + " tp " + PriceText(action.tp, facts.digits);
  if (action.expiration) line += " expires " + Number(action.expiration);
  Add(std::move(action), std::move(line));
  for (std::string& note : notes) plan.log.push_back(std::move(note));
}

void Planner::Manage(const MasterChain& chain, const std::vector<const SlaveOrder*>& copies) {
  if (copies.size() > 1) {
    std::string line = Number(int64_t(copies.size())) + " copies of " + ChainName(chain) + ":";
    for (const SlaveOrder* copy : copies) line += " #" + Number(copy->ticket);
    plan.log.push_back(line);
  }
  const TOrder& order = *chain.order;
  for (const SlaveOrder* copy : copies)
    if (!IsMarketType(copy->type) && IsMarketType(order.type))
      return Delete(chain, *copy, "the master's #" + Number(order.num1) + " was triggered; a market copy follows");
  if (IsMarketType(order.type) && Reduce(chain, copies)) return;
  for (const SlaveOrder* copy : copies) {
    const SymbolFacts* facts = UsableFacts(copy->symbol);
    if (!facts || !HasPrices(*facts)) {
      plan.log.push_back(CopyName(chain, *copy) + ": no usable facts or price for " + copy->symbol + "; left as it is");
      continue;
    }
    if (IsMarketType(copy->type) ? ModifyMarket(chain, *copy, *facts) : ModifyPending(chain, *copy, *facts)) return;
  }
}

// Only after a partial close on the master: a change of the lot settings alone resizes nothing.
bool Planner::Reduce(const MasterChain& chain, const std::vector<const SlaveOrder*>& copies) {
  const TOrder& order = *chain.order;
  if (order.num1 == chain.root_ticket) return false;
  double held = 0;
  const SlaveOrder* newest = nullptr;
  for (const SlaveOrder* copy : copies) {
    if (!IsMarketType(copy->type)) continue;
    held += copy->lots;
    if (!newest || copy->ticket > newest->ticket) newest = copy;
  }
  if (!newest) return false;
  const SymbolFacts* facts = UsableFacts(newest->symbol);
  if (!facts) return false;
  double target = std::max(CopyLots(settings_, order.lots, chain.original_lots, *facts), facts->lot_min);
  double excess = RoundDownToStep(held - target, facts->lot_step);
  if (excess < facts->lot_step / 2) return false;
  double lots = std::min(excess, newest->lots);
  std::string share = "the master holds " + LotsText(order.lots) + " of " + LotsText(chain.original_lots) +
                      " lots, the copies are to hold " + LotsText(target);
  if (lots < facts->lot_min - kLotsTolerance) {
    plan.log.push_back(CopyName(chain, *newest) + ": " + share + ", but " + LotsText(lots) +
                       " lots are below the minimum " + LotsText(facts->lot_min) + " to close");
    return false;
  }
  if (lots >= newest->lots - kLotsTolerance) {
    Close(chain, *newest, newest->lots, share);
    return true;
  }
  CopyAction action = Action(chain, ActionKind::kPartialClose);
  action.ticket = newest->ticket;
  action.symbol = newest->symbol;
  action.type = newest->type;
  action.lots = lots;
  action.price = IsBuyType(newest->type) ? facts->bid : facts->ask;
  Add(std::move(action), "partial close of " + CopyName(chain, *newest) + ": " + LotsText(lots) + " of " +
                             LotsText(newest->lots) + " lots; " + share);
  return true;
}

bool Planner::ModifyMarket(const MasterChain& chain, const SlaveOrder& copy, const SymbolFacts& facts) {
  if (!settings_.copy_stops) return false;
  const TOrder& order = *chain.order;
  int32_t wanted_type = MappedType(order.type);
  if (IsBuyType(wanted_type) != IsBuyType(copy.type)) {
    plan.log.push_back(CopyName(chain, copy) + " is a " + OrderTypeName(copy.type) + " where the settings make a " +
                       OrderTypeName(wanted_type) + "; its stops are left alone");
    return false;
  }
  double reference = StopReference(copy.type, facts);
  double sl = copy.sl, tp = copy.tp;
  std::string changes;
  auto follow = [&](const char* name, double& stop, double wanted, bool fits) {
    if (!PricesDiffer(wanted, stop, facts)) return;
    if (!fits) {
      plan.log.push_back(CopyName(chain, copy) + ": " + name + " " + PriceText(wanted, facts.digits) + " " +
                         TooCloseText(facts) + ", keeps " + PriceText(stop, facts.digits));
      return;
    }
    changes += std::string(changes.empty() ? " " : ", ") + name + " " + PriceText(stop, facts.digits) + " -> " +
               PriceText(wanted, facts.digits);
    stop = wanted;
  };
  double wanted_sl = WantedStopLoss(order, facts.digits), wanted_tp = WantedTakeProfit(order, facts.digits);
  follow("sl", sl, wanted_sl, StopLossFits(copy.type, reference, wanted_sl, facts));
  follow("tp", tp, wanted_tp, TakeProfitFits(copy.type, reference, wanted_tp, facts));
  if (changes.empty()) return false;
  CopyAction action = Action(chain, ActionKind::kModify);
  action.ticket = copy.ticket;
  action.symbol = copy.symbol;
  action.type = copy.type;
  action.price = copy.open_price;
  action.sl = sl;
  action.tp = tp;
  action.expiration = copy.expiration;
  Add(std::move(action), "modify " + CopyName(chain, copy) + ":" + changes);
  return true;
}

bool Planner::ModifyPending(const MasterChain& chain, const SlaveOrder& copy, const SymbolFacts& facts) {
  const TOrder& order = *chain.order;
  int32_t wanted_type = MappedType(order.type);
  if (wanted_type != copy.type) {
    plan.log.push_back(CopyName(chain, copy) + " is a " + OrderTypeName(copy.type) + " where the settings make a " +
                       OrderTypeName(wanted_type) + "; left alone");
    return false;
  }
  std::string changes;
  auto change = [&](const char* name, const std::string& from, const std::string& to) {
    changes += std::string(changes.empty() ? " " : ", ") + name + " " + from + " -> " + to;
  };
  double price = copy.open_price;
  double wanted_price = RoundToDigits(order.price6, facts.digits);
  if (PricesDiffer(wanted_price, price, facts)) {
    if (PendingPriceFits(copy.type, wanted_price, facts)) {
      change("price", PriceText(price, facts.digits), PriceText(wanted_price, facts.digits));
      price = wanted_price;
    } else {
      plan.log.push_back(CopyName(chain, copy) + ": price " + PriceText(wanted_price, facts.digits) + " " +
                         TooCloseText(facts) + ", keeps " + PriceText(price, facts.digits));
    }
  }
  // Stops of a pending order are measured from its own price, so widening them is stable.
  double sl = copy.sl, tp = copy.tp;
  if (settings_.copy_stops) {
    auto follow = [&](const char* name, double& stop, double wanted, bool fits, double widened) {
      if (!fits) wanted = widened;
      if (!PricesDiffer(wanted, stop, facts)) return;
      change(name, PriceText(stop, facts.digits), PriceText(wanted, facts.digits) + (fits ? "" : " (widened to the stops level)"));
      stop = wanted;
    };
    double wanted_sl = WantedStopLoss(order, facts.digits), wanted_tp = WantedTakeProfit(order, facts.digits);
    follow("sl", sl, wanted_sl, StopLossFits(copy.type, price, wanted_sl, facts), WidenedStopLoss(copy.type, price, facts));
    follow("tp", tp, wanted_tp, TakeProfitFits(copy.type, price, wanted_tp, facts),
           WidenedTakeProfit(copy.type, price, facts));
  }
  const int32_t expiration = SlaveExpiration(order.num12);
  if (expiration != copy.expiration) change("expiration", Number(copy.expiration), Number(expiration));
  if (changes.empty()) return false;
  CopyAction action = Action(chain, ActionKind::kModify);
  action.ticket = copy.ticket;
  action.symbol = copy.symbol;
  action.type = copy.type;
  action.price = price;
  action.sl = sl;
  action.tp = tp;
  action.expiration = expiration;
  Add(std::move(action), "modify " + CopyName(chain, copy) + ":" + changes);
  return true;
}

void Planner::Close(const MasterChain& chain, const SlaveOrder& copy, double lots, std::string why) {
  CopyAction action = Action(chain, ActionKind::kClose);
  action.ticket = copy.ticket;
  action.symbol = copy.symbol;
  action.type = copy.type;
  action.lots = lots;
  if (const SymbolFacts* facts = FindSymbol(slave_.symbols, copy.symbol))
    action.price = IsBuyType(copy.type) ? facts->bid : facts->ask;
  Add(std::move(action), "close " + CopyName(chain, copy) + ": " + LotsText(lots) + " lots; " + why);
}

void Planner::Delete(const MasterChain& chain, const SlaveOrder& copy, std::string why) {
  CopyAction action = Action(chain, ActionKind::kDelete);
  action.ticket = copy.ticket;
  action.symbol = copy.symbol;
  action.type = copy.type;
  Add(std::move(action), "delete " + CopyName(chain, copy) + ": " + why);
}

bool Planner::ShowsDone(const CopyAction& action) const {
  const SlaveOrder* order = nullptr;
  for (const SlaveOrder& open : slave_.open) {
    if (action.kind == ActionKind::kOpen && open.magic == action.magic) return true;
    if (open.ticket == action.ticket) order = &open;
  }
  switch (action.kind) {
    case ActionKind::kOpen:
      for (const SlaveOrder* closed : WithMagic(slave_.history, action.magic))
        if (BlocksReopening(*closed, action.type)) return true;
      return false;
    case ActionKind::kModify: {
      if (!order) return true;
      const SymbolFacts* facts = FindSymbol(slave_.symbols, order->symbol);
      auto same = [&](double a, double b) { return facts ? !PricesDiffer(a, b, *facts) : a == b; };
      return same(order->open_price, action.price) && same(order->sl, action.sl) && same(order->tp, action.tp) &&
             order->expiration == action.expiration;
    }
    default:
      return !order;
  }
}

}  // namespace

CopyPlan PlanCopy(std::span<const TImage> masters, const SlaveState& slave, const CopySettings& settings,
                  CopyMemory& memory) {
  Planner planner(slave, settings, memory);
  std::vector<MasterChain> chains;
  std::unordered_map<int32_t, size_t> chain_of_magic;
  for (const TImage* image : CopiedMasters(masters, slave, settings, planner.plan.log)) {
    for (const MasterChain& chain : GatherChains(*image)) {
      auto [known, added] = chain_of_magic.emplace(chain.magic, chains.size());
      if (added) {
        chains.push_back(chain);
        continue;
      }
      const MasterChain& owner = chains[known->second];
      std::string line = "skip master " + image->login + " #" + Number(chain.order->num1) +
                         ": its link number " + Number(chain.magic) + " is taken by ";
      planner.plan.log.push_back(line + std::string(owner.login) + " #" + Number(owner.root_ticket));
    }
  }
  memory.Settle([&](const CopyAction& action) { return planner.ShowsDone(action); },
                [&](int32_t magic) { return chain_of_magic.count(magic) > 0; }, slave.now);
  for (const MasterChain& chain : chains) planner.Chain(chain);
  std::stable_sort(planner.plan.actions.begin(), planner.plan.actions.end(),
                   [](const CopyAction& a, const CopyAction& b) { return a.kind < b.kind; });
  return std::move(planner.plan);
}
