#include "copier_session.h"

#include <algorithm>
#include <cmath>

#include "net_plan.h"
#include "symbol_mapping.h"

namespace {

bool Finite(std::initializer_list<double> values) {
  for (double value : values)
    if (!std::isfinite(value)) return false;
  return true;
}

}  // namespace

int32_t CopierSession::ApplySettings(std::string_view text) {
  ParsedSettings parsed = ParseCopySettings(text);
  settings_ = std::move(parsed.settings);
  plan_ = CopyPlan{};
  reported_.clear();
  plan_.log = std::move(parsed.problems);
  const int32_t problems = static_cast<int32_t>(plan_.log.size());
  const std::string in_use = FormatCopySettings(*settings_);
  for (size_t start = 0, end; start < in_use.size(); start = end + 1) {
    end = std::min(in_use.find('\n', start), in_use.size());
    plan_.log.push_back("setting " + in_use.substr(start, end - start));
  }
  return problems;
}

void CopierSession::Begin(int64_t now, int64_t following_since) {
  slave_.open.clear();
  slave_.history.clear();
  slave_.symbols.clear();
  slave_.copied_elsewhere.clear();
  wanted_.clear();
  slave_.now = now;
  slave_.following_since = following_since;
}

bool CopierSession::AddOrder(int32_t pool, const SlaveOrder& order) {
  if (pool != kSlaveOpen && pool != kSlaveHistory) return false;
  if (!Finite({order.lots, order.open_price, order.sl, order.tp})) return false;
  (pool == kSlaveOpen ? slave_.open : slave_.history).push_back(order);
  return true;
}

int32_t CopierSession::FindWantedSymbols(std::span<const TImage> masters) {
  wanted_.clear();
  if (settings_) wanted_ = SymbolsToLookUp(masters, slave_.open, *settings_);
  return static_cast<int32_t>(wanted_.size());
}

bool CopierSession::AddSymbol(const SymbolFacts& facts) {
  if (!Finite({facts.point, facts.lot_min, facts.lot_max, facts.lot_step, facts.bid, facts.ask})) return false;
  if (const SymbolFacts* known = FindSymbol(slave_.symbols, facts.name))
    slave_.symbols[static_cast<size_t>(known - slave_.symbols.data())] = facts;
  else
    slave_.symbols.push_back(facts);
  return true;
}

int32_t CopierSession::Plan(std::span<const TImage> masters, LoginClaims& claims) {
  reported_.clear();
  if (!settings_) {
    plan_ = CopyPlan{{}, {"no settings were given: nothing is planned"}};
    return -1;
  }
  slave_.copied_elsewhere.clear();
  for (const TImage& image : masters) {
    if (!FollowsMaster(*settings_, image.login)) continue;
    int copier = claims.Claim(expert_, image.login, slave_.now);
    if (copier != expert_) slave_.copied_elsewhere.push_back({image.login, copier});
  }
  plan_ = settings_->netting ? PlanNetCopy(masters, slave_, *settings_, memory_)
                               : PlanCopy(masters, slave_, *settings_, memory_);
  planned_at_ = slave_.now;
  reported_.assign(plan_.actions.size(), false);
  return static_cast<int32_t>(plan_.actions.size());
}

bool CopierSession::ActionDone(int32_t index, int32_t error) {
  if (index < 0 || static_cast<size_t>(index) >= reported_.size() || reported_[index]) return false;
  reported_[index] = true;
  memory_.Record(plan_.actions[index], error, planned_at_);
  return true;
}
