#include "trade_faults.h"

#include "trade_error_codes.h"

int FaultError(TradeFault fault) {
  switch (fault) {
    case TradeFault::kNone: return kErrNone;
    case TradeFault::kRequote: return kErrRequote;
    case TradeFault::kBrokerBusy: return kErrBrokerBusy;
    case TradeFault::kServerBusy: return kErrServerBusy;
    case TradeFault::kTradeContextBusy: return kErrTradeContextBusy;
    case TradeFault::kNoConnection: return kErrNoConnection;
    case TradeFault::kTimeoutWithoutExecution:
    case TradeFault::kTimeoutAfterExecution: return kErrTradeTimeout;
  }
  return kErrCommon;
}

FaultPlan FaultPlan::Scripted(std::vector<TradeFault> faults) {
  FaultPlan plan;
  plan.script_.assign(faults.begin(), faults.end());
  return plan;
}

FaultPlan FaultPlan::Random(uint64_t seed, double probability, std::vector<TradeFault> kinds) {
  FaultPlan plan;
  plan.random_ = SeededRandom(seed);
  plan.probability_ = kinds.empty() ? 0 : probability;
  plan.kinds_ = std::move(kinds);
  return plan;
}

TradeFault FaultPlan::Next() {
  if (!script_.empty()) {
    const TradeFault fault = script_.front();
    script_.pop_front();
    return fault;
  }
  if (probability_ <= 0 || random_.Unit() >= probability_) return TradeFault::kNone;
  return kinds_[random_.Between(0, static_cast<int>(kinds_.size()) - 1)];
}
