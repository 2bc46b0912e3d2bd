#include "copy_memory.h"

#include <algorithm>

#include "fixed_point.h"
#include "trade_errors.h"

namespace {

template <typename Entry, typename Predicate>
void EraseIf(std::vector<Entry>& entries, Predicate predicate) {
  entries.erase(std::remove_if(entries.begin(), entries.end(), predicate), entries.end());
}

bool IsClosing(ActionKind kind) { return kind == ActionKind::kClose || kind == ActionKind::kDelete; }

// Refusals that time lifts too: closes, whose master order will not change again, and opens
// refused while trading was off.
bool RetriedInTime(ActionKind kind, int32_t error) {
  return IsClosing(kind) || (kind == ActionKind::kOpen && MeansTradingIsOff(error));
}

}  // namespace

const char* ActionKindName(ActionKind kind) {
  switch (kind) {
    case ActionKind::kClose: return "close";
    case ActionKind::kDelete: return "delete";
    case ActionKind::kPartialClose: return "partial close";
    case ActionKind::kModify: return "modify";
    case ActionKind::kOpen: return "open";
  }
  return "action";
}

void CopyMemory::Forget(int32_t magic) {
  EraseIf(retries_, [&](const Retry& r) { return r.magic == magic; });
  EraseIf(holds_, [&](const Hold& h) { return h.action.magic == magic; });
  EraseIf(refusals_, [&](const Refusal& r) { return r.magic == magic; });
}

void CopyMemory::Refuse(const CopyAction& action, int32_t error, std::string text, int64_t now) {
  refusals_.push_back({action.login, action.root_ticket, action.magic, action.master_state,
                       action.kind, error, now, std::string(ActionKindName(action.kind)) + " refused: " + text});
}

void CopyMemory::Record(const CopyAction& action, int32_t error, int64_t now) {
  int tries = 1;
  for (const Retry& retry : retries_)
    if (retry.magic == action.magic) tries = retry.tries + 1;
  Forget(action.magic);
  if (error == 0) return;
  switch (ClassifyTradeError(error)) {
    case TradeErrorKind::kTransient:
      if (tries >= kTries) {
        std::string text = "gave up after ";
        AppendInt(text, tries);
        Refuse(action, error, text + " tries, " + TradeErrorText(error), now);
      } else {
        retries_.push_back({action.magic, tries, now + (kFirstRetryDelay << (tries - 1)), error});
      }
      return;
    case TradeErrorKind::kUnknownOutcome:
      holds_.push_back({action, now + kHoldTime});
      return;
    case TradeErrorKind::kPermanent:
      Refuse(action, error, TradeErrorText(error), now);
      return;
  }
}

std::string CopyMemory::Blocking(int32_t magic, uint32_t master_state, int64_t now) {
  EraseIf(refusals_, [&](const Refusal& r) {
    return r.magic == magic && (r.master_state != master_state ||
                                (RetriedInTime(r.kind, r.error) && now >= r.since + kCloseRetryTime));
  });
  std::string why;
  for (const Hold& hold : holds_) {
    if (hold.action.magic != magic) continue;
    why = std::string("held after a trade timeout of its ") + ActionKindName(hold.action.kind) +
          " until it shows or for ";
    AppendInt(why, hold.until - now);
    return why + " s more";
  }
  for (const Retry& retry : retries_) {
    if (retry.magic != magic || now >= retry.not_before) continue;
    why = "retry " ;
    AppendInt(why, retry.tries + 1);
    why += " of ";
    AppendInt(why, kTries);
    why += " in ";
    AppendInt(why, retry.not_before - now);
    return why + " s after " + TradeErrorText(retry.error);
  }
  for (const Refusal& refusal : refusals_)
    if (refusal.magic == magic) return refusal.text;
  return why;
}

void CopyMemory::Settle(const std::function<bool(const CopyAction&)>& shows_done,
                        const std::function<bool(int32_t magic)>& still_seen, int64_t now) {
  EraseIf(holds_, [&](const Hold& h) { return now >= h.until || shows_done(h.action); });
  EraseIf(retries_, [&](const Retry& r) { return !still_seen(r.magic); });
  EraseIf(refusals_, [&](const Refusal& r) { return !still_seen(r.magic); });
}
