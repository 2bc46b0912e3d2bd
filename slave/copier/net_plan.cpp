#include "net_plan.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <string>

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

// The memory keeps a symbol's results under a magic of its own; no master chain has root #0.
int32_t SymbolKey(std::string_view symbol) { return CopyMagic(symbol, 0); }

// A refusal stands until the target changes.
uint32_t TargetState(double target) {
  uint64_t units = uint64_t(std::llround(target * 1e8));
  return uint32_t(units) ^ uint32_t(units >> 32);
}

std::string NetText(double volume) {
  if (volume > kLotsTolerance) return "buy " + LotsText(volume);
  if (volume < -kLotsTolerance) return "sell " + LotsText(-volume);
  return "none";
}

std::string OrderName(std::string_view login, const TOrder& order) {
  std::string text(login);
  text += " #";
  AppendInt(text, order.num1);
  return text;
}

struct NetSymbol {
  std::string name;  // the slave's
  const SymbolFacts* facts = nullptr;
  double target = 0;
  double position = 0;   // the account's, signed
  std::string parts;     // "4711 #1001 buy 1.00, 4712 #1002 sell 0.50"
  std::string left;      // why the symbol is left alone; empty when it is not
  std::optional<CopyAction> deal;
  std::string line;      // the deal's log line
};

class NetPlanner {
 public:
  NetPlanner(const SlaveState& slave, const CopySettings& settings) : slave_(slave), settings_(settings) {}

  void Chain(std::string_view login, const MasterChain& chain);
  void LeaveAllAlone(const std::string& why);
  void Deals();
  bool ShowsDone(const CopyAction& action) const;
  bool Seen(int32_t key) const { return Find(key) != nullptr; }
  void Decide(CopyMemory& memory);

  CopyPlan plan;

 private:
  NetSymbol& Symbol(const std::string& name);
  const NetSymbol* Find(int32_t key) const;
  void Deal(NetSymbol& symbol);
  void Skip(std::string_view login, const TOrder& order, const std::string& why);

  const SlaveState& slave_;
  const CopySettings& settings_;
  std::vector<NetSymbol> symbols_;
};

void NetPlanner::Skip(std::string_view login, const TOrder& order, const std::string& why) {
  std::string line = "skip master " + OrderName(login, order) + " ";
  line += SymbolOf(order);
  plan.log.push_back(line + ": " + why);
}

NetSymbol& NetPlanner::Symbol(const std::string& name) {
  for (NetSymbol& symbol : symbols_)
    if (EqualsIgnoringCase(symbol.name, name)) return symbol;
  NetSymbol& symbol = symbols_.emplace_back();
  symbol.name = name;
  const SymbolFacts* facts = FindSymbol(slave_.symbols, name);
  if (!facts || !facts->exists) {
    symbol.left = "symbol " + name + " not offered";
  } else if (!SymbolFactsUsable(*facts) || facts->bid <= 0 || facts->ask <= 0) {
    symbol.left = "no usable facts or price for " + name;
  } else {
    symbol.facts = facts;
    symbol.name = facts->name;
  }
  return symbol;
}

const NetSymbol* NetPlanner::Find(int32_t key) const {
  for (const NetSymbol& symbol : symbols_)
    if (SymbolKey(symbol.name) == key) return &symbol;
  return nullptr;
}

void NetPlanner::Chain(std::string_view login, const MasterChain& chain) {
  const TOrder& order = *chain.order;
  std::string name = SlaveSymbol(settings_, SymbolOf(order));
  if (!SymbolAllowed(settings_, SymbolOf(order), name)) {
    if (chain.open) Skip(login, order, "symbol filtered out by the settings");
    return;
  }
  NetSymbol& symbol = Symbol(name);
  if (!chain.open) return;
  if (!chain.resolved) {
    symbol.left = "the history of the partial closes of " + OrderName(login, order) + " is incomplete";
    return;
  }
  if (!IsKnownType(order.type) || !std::isfinite(order.lots) || order.lots <= 0) {
    symbol.left = OrderName(login, order) + " is unreadable";
    return;
  }
  if (!IsMarketType(order.type))
    return Skip(login, order, "pending orders are not copied on a netting account, their fills are");
  if (!settings_.allow_magics.empty() &&
      std::find(settings_.allow_magics.begin(), settings_.allow_magics.end(), order.num11) ==
          settings_.allow_magics.end())
    return Skip(login, order, "its magic is not among the allowed");
  if (!settings_.comment_contains.empty() && !ContainsIgnoringCase(CommentOf(order), settings_.comment_contains))
    return Skip(login, order, "comment lacks \"" + settings_.comment_contains + "\"");
  if (!settings_.copy_old && slave_.following_since > 0 &&
      chain.root_open_time < slave_.following_since + settings_.master_time_offset)
    return Skip(login, order, "opened before this account began following");
  if (!symbol.facts) return;
  double lots = CopyLots(settings_, order.lots, chain.original_lots, *symbol.facts);
  bool buys = IsBuyType(order.type) != settings_.reverse;
  symbol.target += buys ? lots : -lots;
  if (!symbol.parts.empty()) symbol.parts += ", ";
  symbol.parts += OrderName(login, order) + " " + NetText(buys ? lots : -lots);
}

void NetPlanner::LeaveAllAlone(const std::string& why) {
  for (NetSymbol& symbol : symbols_) symbol.left = why;
}

void NetPlanner::Deals() {
  for (const SlaveOrder& position : slave_.open) {
    if (!IsMarketType(position.type)) continue;
    double lots = IsBuyType(position.type) ? position.lots : -position.lots;
    for (NetSymbol& symbol : symbols_)
      if (EqualsIgnoringCase(symbol.name, position.symbol)) symbol.position += lots;
  }
  for (NetSymbol& symbol : symbols_) {
    if (!symbol.left.empty()) {
      plan.log.push_back("skip " + symbol.name + ": " + symbol.left + "; its position is left alone");
      continue;
    }
    Deal(symbol);
  }
}

void NetPlanner::Deal(NetSymbol& symbol) {
  const SymbolFacts& facts = *symbol.facts;
  double held = symbol.position, target = symbol.target;
  if (std::fabs(target - held) < kLotsTolerance) return;
  const double most = RoundDownToStep(facts.lot_max, facts.lot_step);
  bool closing = std::fabs(held) > kLotsTolerance && (std::fabs(target) < kLotsTolerance || (target > 0) != (held > 0));
  bool reducing = closing || std::fabs(target) < std::fabs(held);
  double lots = closing ? std::fabs(held) : RoundDownToStep(std::fabs(target - held), facts.lot_step);
  lots = std::min(lots, most);

  CopyAction action;
  action.kind = !reducing ? ActionKind::kOpen
                : closing && lots >= std::fabs(held) - kLotsTolerance ? ActionKind::kClose
                                                                      : ActionKind::kPartialClose;
  bool buys = reducing ? held < 0 : target > 0;
  std::string state = "holds " + NetText(held) + ", the masters make " + NetText(target);
  if (!symbol.parts.empty()) state += " (" + symbol.parts + ")";
  if (action.kind != ActionKind::kClose && lots < facts.lot_min - kLotsTolerance) {
    plan.log.push_back("skip " + symbol.name + ": " + LotsText(lots) + " lots to " + (buys ? "buy" : "sell") +
                       " after the step " + LotsText(facts.lot_step) + " are below the minimum " +
                       LotsText(facts.lot_min) + "; " + state);
    return;
  }
  action.magic = SymbolKey(symbol.name);
  action.master_state = TargetState(target);
  action.symbol = symbol.name;
  action.type = reducing ? (held > 0 ? kBuy : kSell) : (buys ? kBuy : kSell);
  action.lots = lots;
  action.price = buys ? facts.ask : facts.bid;
  const char* verb = action.kind == ActionKind::kClose          ? "close"
                     : action.kind == ActionKind::kPartialClose ? "reduce"
                     : std::fabs(held) > kLotsTolerance         ? "add to"
                                                                : "open";
  symbol.line = std::string(verb) + " " + symbol.name + ": " + (buys ? "buy " : "sell ") + LotsText(lots) + " at " +
                PriceText(action.price, facts.digits) + "; " + state;
  if (closing && std::fabs(target) > kLotsTolerance) symbol.line += "; the " + NetText(target) + " follows";
  symbol.deal = std::move(action);
}

// A deal held after a timeout shows done once the plan would no longer ask it.
bool NetPlanner::ShowsDone(const CopyAction& action) const {
  const NetSymbol* symbol = Find(action.magic);
  if (!symbol || !symbol->left.empty()) return false;
  const std::optional<CopyAction>& deal = symbol->deal;
  return !deal || deal->kind != action.kind || deal->type != action.type ||
         std::fabs(deal->lots - action.lots) > kLotsTolerance;
}

void NetPlanner::Decide(CopyMemory& memory) {
  for (NetSymbol& symbol : symbols_) {
    if (!symbol.deal) continue;
    std::string blocking = memory.Blocking(symbol.deal->magic, symbol.deal->master_state, slave_.now);
    if (!blocking.empty()) {
      plan.log.push_back("skip " + symbol.name + ": " + blocking);
      continue;
    }
    plan.actions.push_back(*symbol.deal);
    plan.log.push_back(symbol.line);
  }
}

}  // namespace

CopyPlan PlanNetCopy(std::span<const TImage> masters, const SlaveState& slave, const CopySettings& settings,
                     CopyMemory& memory) {
  NetPlanner planner(slave, settings);
  std::set<std::string_view> logins;
  for (const TImage* image : CopiedMasters(masters, slave, settings, planner.plan.log)) {
    logins.insert(image->login);
    for (const MasterChain& chain : GatherChains(*image)) planner.Chain(image->login, chain);
  }
  for (const std::string& login : settings.masters) {
    bool elsewhere = std::any_of(slave.copied_elsewhere.begin(), slave.copied_elsewhere.end(),
                                 [&](const LoginCopiedElsewhere& other) { return other.login == login; });
    if (!elsewhere && !logins.count(login)) planner.LeaveAllAlone("master " + login + " is missing from the set");
  }
  planner.Deals();
  memory.Settle([&](const CopyAction& action) { return planner.ShowsDone(action); },
                [&](int32_t key) { return planner.Seen(key); }, slave.now);
  planner.Decide(memory);
  std::stable_sort(planner.plan.actions.begin(), planner.plan.actions.end(),
                   [](const CopyAction& a, const CopyAction& b) { return a.kind < b.kind; });
  return std::move(planner.plan);
}
