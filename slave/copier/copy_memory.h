// What a slave's planner remembers between plans: retries, holds and refusals of trade calls.
// Everything else it reads afresh; losing this memory (a restart) costs at most one more try.
//
// After each action the expert reports the terminal's error code (0: done) with Record():
//  - done: whatever the chain waited for is over;
//  - transient (busy, requote, ...): the chain waits 2 s, then 4 s, and after the third failed
//    try the action counts as refused;
//  - unknown outcome (trade timeout): the chain is held, nothing is done for it, until the
//    slave's orders show the action done or 60 s have passed; then the plan, from the orders as
//    they are, decides again (so an open that did go through is never sent twice);
//  - permanent: the chain is refused with the error's text (refusals()) until the master's order
//    changes (modified, partially closed, closed, triggered). A refused close or delete, whose
//    master order will not change again, is tried again every 60 s: a position the master has
//    closed must not stay open because trading was off for a while. So is an open refused
//    because trading was off (market closed, trade disabled or not allowed), under the
//    planner's guards again then: the master's order does not change when the market opens.
// Entries of chains no longer among the followed masters' orders are forgotten, holds once
// their time is up. Each expert keeps a memory of its own; it is not shared between threads.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "copy_action.h"

class CopyMemory {
 public:
  static constexpr int kTries = 3;
  static constexpr int64_t kFirstRetryDelay = 2;  // seconds, doubled with every try
  static constexpr int64_t kHoldTime = 60;
  static constexpr int64_t kCloseRetryTime = 60;  // also for opens refused while trading was off

  struct Refusal {
    std::string login;
    int32_t root_ticket = 0;
    int32_t magic = 0;
    uint32_t master_state = 0;
    ActionKind kind = ActionKind::kOpen;
    int32_t error = 0;
    int64_t since = 0;
    std::string text;  // e.g. "open refused: 134 not enough money"
  };

  // The result of `action` as the expert ran it at `now`: the terminal's error code, 0 when done.
  void Record(const CopyAction& action, int32_t error, int64_t now);

  // Why nothing may be done now for the chain `magic`, whose master order has the digest
  // `master_state`; empty when something may. Lifts refusals the master's change outdated.
  std::string Blocking(int32_t magic, uint32_t master_state, int64_t now);

  // Ends the holds whose action `shows_done` in the slave's orders or whose time is up, and
  // forgets retries and refusals of chains that are not `still_seen`.
  void Settle(const std::function<bool(const CopyAction&)>& shows_done,
              const std::function<bool(int32_t magic)>& still_seen, int64_t now);

  const std::vector<Refusal>& refusals() const { return refusals_; }

 private:
  struct Retry {
    int32_t magic;
    int tries;
    int64_t not_before;
    int32_t error;
  };
  struct Hold {
    CopyAction action;
    int64_t until;
  };

  void Forget(int32_t magic);
  void Refuse(const CopyAction& action, int32_t error, std::string text, int64_t now);

  std::vector<Retry> retries_;
  std::vector<Hold> holds_;
  std::vector<Refusal> refusals_;
};

const char* ActionKindName(ActionKind kind);
