#include "terminal_registry.h"

#include <algorithm>

#include "link_protocol.h"

int MarkerAnswer(MarkerOutcome outcome) {
  return outcome == MarkerOutcome::kRefused ? link::kMarkerRefused : link::kMarkerAccepted;
}

MarkerOutcome TerminalRegistry::Marker(char kind, uint32_t window, int32_t instance) {
  // Within a kind a window is unique, so at most one entry can match the window.
  for (TTerminal& t : entries_) {
    if (t.kind != kind || t.window != window) continue;
    if (t.instance != instance) return MarkerOutcome::kRefused;
    t.last_seen = clock_();
    return MarkerOutcome::kRefreshed;
  }
  entries_.push_back({kind, window, instance, {}, clock_()});
  return MarkerOutcome::kAdded;
}

bool TerminalRegistry::Detach(char kind, uint32_t window, int32_t instance) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const TTerminal& t) {
    return t.kind == kind && t.window == window && t.instance == instance;
  });
  if (it == entries_.end()) return false;
  entries_.erase(it);
  return true;
}

int TerminalRegistry::Expire() {
  // The unsigned difference stays the true age across a wrap of the tick count.
  const size_t before = entries_.size();
  std::erase_if(entries_, [this](const TTerminal& t) {
    return static_cast<uint32_t>(clock_() - t.last_seen) >= link::kExpiryMs;
  });
  return static_cast<int>(before - entries_.size());
}

TTerminal* TerminalRegistry::ImageOwner(uint32_t window) {
  for (TTerminal& t : entries_)
    if (t.kind == kMasterKind && t.window == window && t.instance != 0) return &t;
  return nullptr;
}

TerminalCounts TerminalRegistry::Counts() const {
  TerminalCounts counts;
  for (const TTerminal& t : entries_) {
    if (t.kind == kMasterKind) counts.masters++;
    else if (t.kind == kSlaveKind) counts.slaves++;
  }
  return counts;
}
