#include "market_feed.h"

#include <algorithm>

namespace {

// FNV-1a: each symbol's walk gets a seed of its own, whatever other symbols there are.
uint64_t NameHash(const std::string& name) {
  uint64_t hash = 0xcbf29ce484222325ull;  // offset basis
  for (unsigned char c : name) hash = (hash ^ c) * 0x100000001b3ull;  // 64-bit FNV prime
  return hash;
}

}  // namespace

void MarketFeed::AddSymbol(const std::string& name, int64_t bid_points, int spread_points,
                           int walk_points) {
  walks_.insert_or_assign(name, Walk{std::max<int64_t>(bid_points, 1), std::max(spread_points, 0),
                                     std::max(walk_points, 0), SeededRandom(seed_ ^ NameHash(name))});
}

Quote MarketFeed::QuoteOf(const std::string& name) const {
  auto found = walks_.find(name);
  if (found == walks_.end()) return {};
  return {found->second.bid, found->second.bid + found->second.spread};
}

void MarketFeed::Tick() {
  for (auto& [name, walk] : walks_)
    if (walk.step > 0) walk.bid = std::max<int64_t>(walk.bid + walk.random.Between(-walk.step, walk.step), 1);
}

void MarketFeed::SetBid(const std::string& name, int64_t bid_points) {
  auto found = walks_.find(name);
  if (found != walks_.end()) found->second.bid = std::max<int64_t>(bid_points, 1);
}

void MarketFeed::SetAsk(const std::string& name, int64_t ask_points) {
  auto found = walks_.find(name);
  if (found != walks_.end()) SetBid(name, ask_points - found->second.spread);
}
