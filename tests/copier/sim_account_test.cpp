// What the master expert publishes of a simulated account's closed orders, and how a simulated
// account is set up from its texts, natively: the real expert (e-qelv-master.mq4, translated)
// runs on the simulated terminal over the account, its library one of the test's own that
// writes down what is appended.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "account_options.h"
#include "shipped_experts.h"
#include "sim_terminal.h"

namespace {

struct Appended {
  int pool, ticket, price_digits, lots_digits;
};
std::vector<Appended> g_appended;

int MQL_STDCALL Answer0(int, int) { return 0; }
int MQL_STDCALL FindWindow(mql::uchar*) { return 1; }
int MQL_STDCALL Crc() { return static_cast<int>(g_appended.size()); }
void MQL_STDCALL Clear() { g_appended.clear(); }
void MQL_STDCALL Set(mql::uchar*, mql::uchar*) {}
void MQL_STDCALL Append(int pool, int price_digits, int lots_digits, int ticket, int, int, double, mql::uchar*,
                        double, double, double, int, double, int, int, mql::uchar*) {
  g_appended.push_back({pool, ticket, price_digits, lots_digits});
}
void MQL_STDCALL Send(int) {}

// What the master expert appends of the account in one timer event.
std::vector<Appended> Published(TradeServer& server) {
  SimTerminal terminal(server, [](const std::string&, const std::string& name, std::string&) -> void* {
    if (name == "_find_window") return reinterpret_cast<void*>(&FindWindow);
    if (name == "_get_crc") return reinterpret_cast<void*>(&Crc);
    if (name == "_image_clear") return reinterpret_cast<void*>(&Clear);
    if (name == "_image_set") return reinterpret_cast<void*>(&Set);
    if (name == "_image_append") return reinterpret_cast<void*>(&Append);
    if (name == "_image_send") return reinterpret_cast<void*>(&Send);
    return reinterpret_cast<void*>(&Answer0);
  }, "");
  auto expert = NewMasterExpert();
  expert->Attach(terminal, mql::ChartInfo{});
  EXPECT_EQ(expert->OnInit(), 0);
  expert->OnTimer();
  return g_appended;
}

std::vector<int> PublishedHistory(TradeServer& server) {
  std::vector<int> tickets;
  for (const Appended& a : Published(server))
    if (a.pool == 1) tickets.push_back(a.ticket);
  return tickets;
}

const int kHourMs = 3600 * 1000;

std::unique_ptr<TradeServer> Server() {
  AccountSetup setup;
  setup.login = "4711";
  auto server = std::make_unique<TradeServer>(setup);
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
  EXPECT_EQ(PublishedHistory(*server), expected);
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
      s.Advance(1000);           // (closes of one second come in no particular order)
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
  Buy(*server, 1);
  const std::vector<Appended> published = Published(*server);
  ASSERT_EQ(published.size(), 1u);
  EXPECT_EQ(published[0].price_digits, 5);
  EXPECT_EQ(published[0].lots_digits, 2);  // a step of 0.1, written with at least 2
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
