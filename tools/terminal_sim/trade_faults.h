// Failures a simulated trade server puts in the way of trade calls: scripted, one per coming
// call, or at random from a seed.
#pragma once
#include <cstdint>
#include <deque>
#include <vector>

#include "seeded_random.h"

enum class TradeFault {
  kNone,
  kRequote,                  // 138, nothing done
  kBrokerBusy,               // 137, nothing done
  kServerBusy,               // 4, nothing done
  kTradeContextBusy,         // 146, nothing done
  kNoConnection,             // 6, nothing done
  kTimeoutWithoutExecution,  // 128, nothing done
  kTimeoutAfterExecution,    // 128, yet the call was carried out: the caller cannot tell
};

// The error code a trade call with `fault` reports.
int FaultError(TradeFault fault);

class FaultPlan {
 public:
  FaultPlan() = default;  // no faults

  // The next trade calls meet `faults` in order, one each (kNone lets one through); the
  // calls after them meet none.
  static FaultPlan Scripted(std::vector<TradeFault> faults);

  // Each trade call meets, with `probability`, one of `kinds` picked at random.
  static FaultPlan Random(uint64_t seed, double probability, std::vector<TradeFault> kinds);

  // The fault of the next trade call.
  TradeFault Next();

 private:
  std::deque<TradeFault> script_;
  SeededRandom random_{0};
  double probability_ = 0;
  std::vector<TradeFault> kinds_;
};
