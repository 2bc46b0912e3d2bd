// The moving market: a seed gives the same prices at the same times, however the clock is
// advanced and whatever else is offered.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "test_market.h"

namespace {

// Bids of a walking EURUSD every second for a minute, the clock moved `chunk_ms` at a time.
std::vector<double> BidsEverySecond(uint64_t seed, int chunk_ms, bool offer_others = false) {
  AccountSetup setup = TestAccount();
  setup.seed = seed;
  TradeServer server(setup);
  if (offer_others) server.AddSymbol({"AUDUSD", 5}, 0.65000, 12, 30);
  server.AddSymbol({"EURUSD", 5}, 1.10000, 20, 8);
  if (offer_others) server.AddSymbol({"USDCHF", 5}, 0.90000, 15, 30);
  std::vector<double> bids;
  for (int second = 1; second <= 60; second++) {
    for (int passed = 0; passed < 1000; passed += chunk_ms) server.Advance(chunk_ms);
    EXPECT_EQ(server.TimeCurrent(), kStart + second);
    EXPECT_EQ(server.MarketInfo("EURUSD", kModeSpread), 20);
    bids.push_back(server.MarketInfo("EURUSD", kModeBid));
  }
  return bids;
}

struct WalkCase {
  const char* name;
  uint64_t seed;
  int chunk_ms;
  bool offer_others;
  bool same_as_seed_1_by_seconds;
};

void PrintTo(const WalkCase& c, std::ostream* out) { *out << c.name; }

class Walk : public testing::TestWithParam<WalkCase> {};

TEST_P(Walk, DependsOnTheSeedOnly) {
  const WalkCase& c = GetParam();
  const std::vector<double> reference = BidsEverySecond(1, 1000);
  const std::vector<double> bids = BidsEverySecond(c.seed, c.chunk_ms, c.offer_others);
  EXPECT_EQ(bids == reference, c.same_as_seed_1_by_seconds);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Walk, testing::Values(
    WalkCase{"the same seed again", 1, 1000, false, true},
    WalkCase{"the clock in ticks", 1, 250, false, true},
    WalkCase{"the clock in steps across ticks", 1, 100, false, true},
    WalkCase{"other symbols offered", 1, 1000, true, true},
    WalkCase{"another seed", 2, 1000, false, false}));

TEST(Walk, MovesWithinItsStep) {
  const std::vector<double> bids = BidsEverySecond(1, 250);
  double low = bids[0], high = bids[0];
  for (size_t i = 1; i < bids.size(); i++) {
    EXPECT_LE(std::abs(bids[i] - bids[i - 1]), 4 * 8 * 0.00001 + 1e-9);  // 4 ticks a second
    low = std::min(low, bids[i]);
    high = std::max(high, bids[i]);
  }
  EXPECT_LT(low, high);
}

TEST(Walk, NeverFallsBelowAPoint) {
  TradeServer server(TestAccount());
  server.AddSymbol({"PENNY", 5}, 0.00002, 3, 50);
  for (int i = 0; i < 400; i++) {
    server.Advance(250);
    ASSERT_GE(server.MarketInfo("PENNY", kModeBid), 0.00001);
  }
}

TEST(Walk, GoesOnFromWhereTheMarketWasPut) {
  AccountSetup setup = TestAccount();
  TradeServer moved(setup), walked(setup);
  moved.AddSymbol({"EURUSD", 5}, 1.10000, 20, 8);
  walked.AddSymbol({"EURUSD", 5}, 1.20000, 20, 8);
  moved.SetBid("EURUSD", 1.20000);
  moved.Advance(5000);
  walked.Advance(5000);
  EXPECT_EQ(moved.MarketInfo("EURUSD", kModeBid), walked.MarketInfo("EURUSD", kModeBid));
}

TEST(Walk, StillSymbolsStayPut) {
  auto server = TestServer();
  server->Advance(600000);
  EXPECT_EQ(server->MarketInfo("EURUSD", kModeBid), 1.10000);
  EXPECT_EQ(server->MarketInfo("USDJPY", kModeAsk), 150.015);
  EXPECT_EQ(server->TimeCurrent(), kStart + 600);
}

}  // namespace
