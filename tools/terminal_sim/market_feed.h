// The market of a simulated trade server: per symbol a bid that walks at random, one step per
// tick, and an ask a fixed spread above. The walks depend on the seed and the symbols' names
// only, so that a seed always gives the same prices after the same number of ticks.
#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "seeded_random.h"

struct Quote {
  int64_t bid = 0, ask = 0;  // in points of the symbol
};

class MarketFeed {
 public:
  explicit MarketFeed(uint64_t seed) : seed_(seed) {}

  // A symbol whose bid starts at `bid_points` and moves by up to `walk_points` either way
  // each tick (0: it stays); the ask keeps `spread_points` above the bid.
  void AddSymbol(const std::string& name, int64_t bid_points, int spread_points, int walk_points);

  bool Has(const std::string& name) const { return walks_.count(name) != 0; }
  Quote QuoteOf(const std::string& name) const;  // zeros for a symbol the feed has not

  // Every symbol takes one step; a bid never falls below one point.
  void Tick();

  // Puts a symbol's bid (or ask) where the caller wants it; the walk goes on from there.
  void SetBid(const std::string& name, int64_t bid_points);
  void SetAsk(const std::string& name, int64_t ask_points);

 private:
  struct Walk {
    int64_t bid;
    int spread;
    int step;
    SeededRandom random;
  };
  uint64_t seed_;
  std::map<std::string, Walk> walks_;
};
