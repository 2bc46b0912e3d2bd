// The simulator's master history choice and account options, natively: what the simulated
// master publishes of its closed orders, and how a simulated account is set up from its texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "account_options.h"
#include "master_history.h"

namespace {

const int kHourMs = 3600 * 1000;

std::unique_ptr<TradeServer> Server() {
  auto server = std::make_unique<TradeServer>(AccountSetup{});
  SymbolRules rules;
  rules.name = "EURUSD";
  rules.lot_step = 0.1;
  rules.lot_min = 0.1;
  server->AddSymbol(rules, 1.10000, 2, 0);
  return server;
}

int Buy(TradeServer& server, double lots) {
  return server.OrderSend("EURUSD", 0, lots, server.MarketInfo("EURUSD", kModeAsk), 0, 0, 0, "", 0, 0);
}

bool Close(TradeServer& server, int ticket, double lots) {
  return server.OrderClose(ticket, lots, server.MarketInfo("EURUSD", kModeBid), 0);
}

// Each story trades on a fresh account and names the tickets the choice must give, in order.
struct HistoryCase {
  const char* name;
  std::vector<int> (*story)(TradeServer&);
};
void PrintTo(const HistoryCase& c, std::ostream* out) { *out << c.name; }

class History : public testing::TestWithParam<HistoryCase> {};

TEST_P(History, IsTheLastHourAndEveryPublishedChainsClosedAncestors) {
  auto server = Server();
  const std::vector<int> expected = GetParam().story(*server);
  EXPECT_EQ(ChooseHistory(*server), expected);
}

INSTANTIATE_TEST_SUITE_P(Stories, History, testing::Values(
    HistoryCase{"orders closed over an hour ago are left out", [](TradeServer& s) {
      const int old = Buy(s, 1);
      Close(s, old, 1);
      s.Advance(kHourMs + 1000);
      const int recent = Buy(s, 1);
      Close(s, recent, 1);
      return std::vector<int>{recent};
    }},
    HistoryCase{"the newest first", [](TradeServer& s) {
      const int a = Buy(s, 1), b = Buy(s, 1);
      Close(s, b, 1);
      s.Advance(2000);
      Close(s, a, 1);
      return std::vector<int>{a, b};
    }},
    HistoryCase{"an open remainder brings its old closed parts", [](TradeServer& s) {
      const int first = Buy(s, 1);
      Close(s, first, 0.4);  // the rest goes on as first + 1
      Close(s, first + 1, 0.3);
      s.Advance(2 * kHourMs);
      return std::vector<int>{first + 1, first};
    }},
    HistoryCase{"a recent closed part brings its older ancestors", [](TradeServer& s) {
      const int first = Buy(s, 1);
      Close(s, first, 0.4);
      s.Advance(2 * kHourMs);
      Close(s, first + 1, 0.3);  // closed now: published as recent
      Close(s, first + 2, 0.3);
      return std::vector<int>{first + 2, first + 1, first};
    }},
    HistoryCase{"at most 200 recent ones", [](TradeServer& s) {
      std::vector<int> newest;
      for (int i = 0; i < 205; i++) {
        const int t = Buy(s, 0.1);
        Close(s, t, 0.1);
        newest.insert(newest.begin(), t);
        s.Advance(1000);
      }
      newest.resize(200);
      return newest;
    }}));

TEST(MasterDigits, FollowTheSymbolsGridOrAreEightWhenUnknown) {
  auto server = Server();
  EXPECT_EQ(PriceDigits(*server, "EURUSD"), 5);
  EXPECT_EQ(PriceDigits(*server, "GBPUSD"), 8);
  EXPECT_EQ(LotsDigits(*server, "EURUSD", 2), 2);
  EXPECT_EQ(LotsDigits(*server, "EURUSD", 0), 1);
  EXPECT_EQ(LotsDigits(*server, "GBPUSD", 0), 8);
  EXPECT_EQ(server->GetLastError(), 0);  // the look-ups leave no error behind
}

struct OfferCase {
  const char* text;
  bool reads;
  const char* eurusd;  // the first symbol's name
  int stops_level;
  double lot_min, lot_step;
};

class Offer : public testing::TestWithParam<OfferCase> {};

TEST_P(Offer, GivesTheCatalogUnderTheBrokersRules) {
  const OfferCase& c = GetParam();
  std::vector<OfferedSymbol> offer;
  std::string error;
  ASSERT_EQ(ParseSymbolOffer(c.text, offer, error), c.reads) << error;
  if (!c.reads) {
    EXPECT_NE(error, "");
    return;
  }
  ASSERT_EQ(offer.size(), 4u);
  EXPECT_EQ(offer[0].rules.name, c.eurusd);
  EXPECT_EQ(offer[0].rules.stops_level, c.stops_level);
  EXPECT_EQ(offer[0].rules.lot_min, c.lot_min);
  EXPECT_EQ(offer[0].rules.lot_step, c.lot_step);
  TradeServer server{AccountSetup{}};
  EXPECT_TRUE(OfferSymbols(server, offer));
  EXPECT_GT(server.MarketInfo(c.eurusd, kModeBid), 0);
}

INSTANTIATE_TEST_SUITE_P(Texts, Offer, testing::Values(
    OfferCase{"", true, "EURUSD", 0, 0.01, 0.01},
    OfferCase{"suffix=.m;stops=10;lot_min=0.1;lot_step=0.1", true, "EURUSD.m", 10, 0.1, 0.1},
    OfferCase{"walk=3;", true, "EURUSD", 0, 0.01, 0.01},
    OfferCase{"stops=-1", false, "", 0, 0, 0},
    OfferCase{"lot_step=0", false, "", 0, 0, 0},
    OfferCase{"spread=2", false, "", 0, 0, 0},
    OfferCase{"suffix", false, "", 0, 0, 0}));

struct FaultsCase {
  const char* text;
  bool reads;
  std::vector<TradeFault> first;  // the first calls' faults
};

class Faults : public testing::TestWithParam<FaultsCase> {};

TEST_P(Faults, ReadAsAPlan) {
  const FaultsCase& c = GetParam();
  FaultPlan plan;
  std::string error;
  ASSERT_EQ(ParseFaultPlan(c.text, plan, error), c.reads) << error;
  if (!c.reads) {
    EXPECT_NE(error, "");
    return;
  }
  for (TradeFault fault : c.first) EXPECT_EQ(plan.Next(), fault);
}

INSTANTIATE_TEST_SUITE_P(Texts, Faults, testing::Values(
    FaultsCase{"", true, {TradeFault::kNone, TradeFault::kNone}},
    FaultsCase{"script=requote,none,timeout-after", true,
               {TradeFault::kRequote, TradeFault::kNone, TradeFault::kTimeoutAfterExecution, TradeFault::kNone}},
    FaultsCase{"seed=3;rate=1;kinds=broker-busy", true, {TradeFault::kBrokerBusy, TradeFault::kBrokerBusy}},
    FaultsCase{"seed=3;rate=0", true, {TradeFault::kNone}},
    FaultsCase{"rate=1.5", false, {}},
    FaultsCase{"script=requote;rate=0.5", false, {}},
    FaultsCase{"script=lightning", false, {}},
    FaultsCase{"seed=x", false, {}}));

}  // namespace
