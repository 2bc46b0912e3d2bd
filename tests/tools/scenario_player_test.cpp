// The master's scenario played on a trade server: the orders come out as the scenario states
// them, under the server's own tickets, and a step the server refuses says why.
#include <gtest/gtest.h>

#include <vector>

#include "scenario_player.h"
#include "test_market.h"

namespace {

const char kScenario[] =
    "login 4711\n"
    "open 1001 buy 1 EURUSD 1.08345 1.07000 1.10000 magic=7 first trade\n"
    "open 1002 buylimit 0.5 EURUSD 1.08000 0 0 magic=8 expiration=1252980000 grid\n"
    "open 1003 sellstop 0.2 EURUSD 1.07500\n"
    "wait 60000\n"
    "close 1001 1.08500 0.4\n"      // the rest goes on as 1004
    "modify 1004 1.07500 1.10000\n"
    "modify 1002 1.07000 0 1.07900\n"
    "trigger 1002\n"
    "delete 1003\n"
    "price EURUSD 1.08600\n"
    "open 1005 sell 0.1 USDJPY 150.100\n"
    "close 1005 150.050\n";

std::vector<ScenarioStep> Steps(const std::string& text) {
  std::vector<ScenarioStep> steps;
  std::string error;
  EXPECT_TRUE(ParseScenario(text, steps, error)) << error;
  return steps;
}

struct Expected {
  int ticket;
  int type;
  double lots;
  double open_price;
  std::string comment;
  int magic;
};

void ExpectOrders(TradeServer& server, OrderPool pool, const std::vector<Expected>& expected) {
  ASSERT_EQ(pool == kModeTrades ? server.OrdersTotal() : server.OrdersHistoryTotal(),
            static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); i++) {
    SimOrder o;
    ASSERT_TRUE(server.OrderSelectByPos(static_cast<int>(i), pool, o));
    const Expected& e = expected[i];
    EXPECT_EQ(o.ticket, e.ticket);
    EXPECT_EQ(o.type, e.type) << o.ticket;
    EXPECT_EQ(o.lots, e.lots) << o.ticket;
    EXPECT_EQ(o.open_price, e.open_price) << o.ticket;
    EXPECT_EQ(o.comment, e.comment) << o.ticket;
    EXPECT_EQ(o.magic, e.magic) << o.ticket;
  }
}

TEST(ScenarioPlayer, TradesTheScenarioOnTheServer) {
  auto server = TestServer();
  for (const ScenarioStep& step : Steps(kScenario)) EXPECT_EQ(PlayStep(*server, step), "");
  EXPECT_EQ(server->AccountLogin(), "4711");
  ExpectOrders(*server, kModeTrades,
               {{1002, 0, 0.5, 1.07900, "grid", 8}, {1004, 0, 0.6, 1.08345, "from #1001", 7}});
  ExpectOrders(*server, kModeHistory,
               {{1001, 0, 0.4, 1.08345, "to #1004", 7},
                {1003, 5, 0.2, 1.07500, "", 0},
                {1005, 1, 0.1, 150.100, "", 0}});
  SimOrder o;
  ASSERT_TRUE(server->OrderSelectByTicket(1004, o));
  EXPECT_EQ(o.stop_loss, 1.07500);
  EXPECT_EQ(o.open_time, kStart);
  ASSERT_TRUE(server->OrderSelectByTicket(1001, o));
  EXPECT_EQ(o.close_price, 1.08500);
  EXPECT_EQ(o.close_time, kStart + 60);
  ASSERT_TRUE(server->OrderSelectByTicket(1005, o));
  EXPECT_EQ(o.close_price, 150.050);
  EXPECT_EQ(server->MarketInfo("EURUSD", kModeBid), 1.08600);
}

// The account that only keeps the scenario's orders numbers and names them the same way.
TEST(ScenarioPlayer, AgreesWithTheScenarioAccount) {
  auto server = TestServer();
  SimAccount account;
  for (const ScenarioStep& step : Steps(kScenario)) {
    PlayStep(*server, step);
    if (step.kind != ScenarioStep::kWait) account.Apply(step);
  }
  const std::pair<OrderPool, const std::vector<SimOrder>*> pools[] = {
      {kModeTrades, &account.market}, {kModeHistory, &account.history}};
  for (const auto& [pool, orders] : pools) {
    std::vector<Expected> expected;
    for (const SimOrder& o : *orders)
      expected.push_back({o.ticket, o.type, o.lots, o.open_price, o.comment, o.magic});
    ExpectOrders(*server, pool, expected);
  }
}

struct RefusedCase {
  const char* scenario;
  const char* failure;  // of its last step; the steps before it go through
};

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.failure; }

class Refused : public testing::TestWithParam<RefusedCase> {};

TEST_P(Refused, StepSaysWhy) {
  const RefusedCase& c = GetParam();
  auto server = TestServer();
  const std::vector<ScenarioStep> steps = Steps(c.scenario);
  ASSERT_FALSE(steps.empty());
  for (size_t i = 0; i + 1 < steps.size(); i++) ASSERT_EQ(PlayStep(*server, steps[i]), "") << i;
  EXPECT_EQ(PlayStep(*server, steps.back()), c.failure);
}

INSTANTIATE_TEST_SUITE_P(Steps, Refused, testing::Values(
    RefusedCase{"open 1002 buy 0.1 EURUSD 1.1", "open 1002: the server gave ticket 1001"},
    RefusedCase{"open 1001 buy 0.1 EURUSD 1.1 1.09995 0", "open 1001: 130 invalid stops"},
    RefusedCase{"open 1001 buy 0.1 XAUUSD 1900", "open 1001: 4106 unknown symbol"},
    RefusedCase{"open 1001 buy 0.1 GBPUSD 1.25", "open 1001: 132 market closed"},
    RefusedCase{"open 1001 buylimit 0.1 EURUSD 1.2", "open 1001: 130 invalid stops"},
    RefusedCase{"close 1009 1.1", "close 1009: no such order"},
    RefusedCase{"open 1001 buy 1 EURUSD 1.1\nclose 1001 1.1 0.999", "close 1001: 131 invalid trade volume"},
    RefusedCase{"open 1001 buy 1 EURUSD 1.1\nmodify 1001 0 0", "modify 1001: error 1"},
    RefusedCase{"modify 1001 0 0", "modify 1001: no such order"},
    RefusedCase{"open 1001 buy 1 EURUSD 1.1\ndelete 1001", "delete 1001: error 4108"},
    RefusedCase{"open 1001 buy 1 EURUSD 1.1\ntrigger 1001", "trigger 1001: no such pending order"},
    RefusedCase{"price XAUUSD 1.1", "price XAUUSD: not offered or not a price"}));

}  // namespace
