// The copy planner: one pass that compares what the slave should hold (the followed masters'
// orders, mapped by the settings) with what it holds (its orders, read afresh) and returns the
// few trade calls that close the gap, with one log line per decision made or refused.
//
// The plan is a function of its inputs and the CopyMemory of past results only: run again on
// the same inputs after its actions were done, it returns none. The expert runs the actions
// one at a time, in the order given, reports each result to the memory (CopyMemory::Record)
// and plans again on the next timer; a plan asks at most one action per master chain, so a
// failed one never leaves a half-done sequence behind. The log says again in every plan what
// still holds ("skip master ..."): an expert prints the lines that differ from its last plan's.
//
// Decisions, per chain of a followed master (copy_link.h links copies to chains):
//  - Closed on the master (its last order is in the master's history): every copy is closed,
//    or deleted when pending. A master missing from the set closes nothing: its copies stay as
//    they are until it is back and shows its order closed. So do copies of a master no longer
//    followed or copied by another expert.
//  - Open on the master and no copy: opened unless the slave holds a closed copy of the chain
//    (its stop loss hit, closed by hand: never reopened; a deleted pending copy does not stop
//    the market copy of a triggered master order), the settings filter it out, or a guard
//    refuses it. Filters and guards decide new copies only; copies already open are kept in
//    line whatever the settings say now.
//  - Lots: see CopyLots(). Below the symbol's minimum: not copied. A copy is reduced only after
//    a partial close on the master, to the master's share (never below the symbol's minimum,
//    so it still follows the master's remainder); never enlarged.
//  - A master pending order is copied pending (copy_pending), reversed as well when reverse is
//    on; its price, expiration and stops are kept in line. Triggered on the master while the
//    copy is still pending: the copy is deleted, and the next plan opens at market under the
//    market guards.
//  - Stops closer to the market than the stops level: when opening, and for pending orders
//    (measured from their price), they are widened to the stops level, so a copy is never
//    without the protection the master has; a market copy's stop is not moved to a master
//    stop that is too close, it keeps its own until the master's fits.
//  - Times: the masters' order times and expirations are their server's, the slave's clock is
//    its own; master_time_offset turns one into the other for the signal's age, "following
//    since" and the expirations of pending copies.
//  - An open chain whose history of partial closes is incomplete is neither copied nor managed
//    (its root, and so its copies, are uncertain); a closed one still closes the copies of the
//    oldest order its links name.
#pragma once
#include <span>
#include <string>
#include <vector>

#include "copy_action.h"
#include "copy_memory.h"
#include "copy_settings.h"
#include "image_set_model.h"
#include "slave_state.h"

struct CopyPlan {
  std::vector<CopyAction> actions;
  std::vector<std::string> log;
};

CopyPlan PlanCopy(std::span<const TImage> masters, const SlaveState& slave,
                  const CopySettings& settings, CopyMemory& memory);
