// The copy planner of a netting account, where the account holds one position per symbol and a
// deal the other way reduces, closes or reverses it. Like PlanCopy it compares what should be
// with what is and returns the few deals that close the gap, a function of its inputs and the
// CopyMemory: run again after its deals were done, it returns none.
//
// What should be, per slave symbol: the net of the followed masters' open market orders, each
// signed (buys positive) with the lots CopyLots() gives it, reversed when reverse is on, under
// the symbol mapping. A symbol counts when a followed master has an order on it, open or in its
// history; the account's other positions are left alone. Orders the filters (allow_magics,
// comment_contains, copy_old) leave out count nothing; a symbol they deny is left alone.
//
// What is: slave.open, the account's positions, one a symbol as a buy or a sell of its volume
// (several of a symbol add up); slave.history is not read.
//
// Per symbol and plan one deal at most, at the market, of the difference rounded toward zero to
// the lot step and at most the symbol's maximum; nothing when that is below the minimum:
//   kOpen         a buy or sell (`type`) that opens or adds to the position;
//   kPartialClose a deal that reduces the position (`type` is the position's side);
//   kClose        a deal that closes it. A reversal closes first; the next plan opens the
//                 other side, so a close is never held back by the margin the new side needs.
// magic is the symbol's key in the memory and master_state a digest of its target: a refused
// deal stays refused until the target changes (a close is tried again after a minute, as in
// PlanCopy). login, root_ticket, ticket, stops and comment stay empty.
//
// A symbol is left alone while its target is uncertain: a master named in `masters` is missing
// from the set (any symbol may hold its orders), an open order on it is unreadable or its chain's
// history incomplete, or its facts or prices are missing.
//
// What a trader loses on a netting account:
//  - Stop loss and take profit: the position's can't follow several masters, so the plan leaves
//    them alone (none of its own, a trader's by hand stay); a master's stop that closes its order
//    closes the slave's part at the next plan, at the market.
//  - Copies as orders: a partial close on a master reduces the net by the same share; opposite
//    orders of masters (or of one master) cancel out and are never dealt.
//  - Pending orders are not copied; their fills are, as the market orders they become.
//  - max_signal_age and max_deviation_points do not apply: a net deal serves no single signal.
//  - The account's own trades on a symbol the masters trade merge into the position and are
//    dealt away, and a position closed by hand is dealt back while the masters hold theirs.
//  - `masters` must name the masters (the settings say so when netting is on): with it empty, a
//    master missing from the set would count as holding nothing.
#pragma once
#include <span>

#include "copy_memory.h"
#include "copy_plan.h"
#include "copy_settings.h"
#include "image_set_model.h"
#include "slave_state.h"

CopyPlan PlanNetCopy(std::span<const TImage> masters, const SlaveState& slave, const CopySettings& settings,
                     CopyMemory& memory);
