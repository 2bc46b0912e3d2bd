// The shipped MT5 slave expert (experts/e-qelv-slave.mq5), translated, against the test's slave
// library (fake_slave_library.h) on a fake MT5 account: the account as the planner is told it,
// 64-bit tickets among them, and the trade requests it makes of the plan.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_mt5_terminal.h"
#include "fake_slave_library.h"
#include "shipped_experts.h"

namespace {

using namespace mql::builtin5;

const mql::mlong kNow = 1252972800;
const mql::ulong kPosition = 5'000'000'123;  // beyond 32 bits: the planner knows it as its low 31
const int kShortPosition = static_cast<int>(kPosition & 0x7FFFFFFF);
const mql::ulong kOrder = 5'000'000'124;
const int kShortOrder = static_cast<int>(kOrder & 0x7FFFFFFF);

struct Mt5SlaveExpert : testing::Test {
  FakeMt5Terminal terminal;
  std::unique_ptr<mql::Program5> expert = NewMt5SlaveExpert();

  Mt5SlaveExpert() {
    g_library = SlaveLibrary{};
    InstallFakeSlaveLibrary(terminal.functions);
    terminal.now = kNow;
    mql::SymbolFacts eurusd;
    eurusd.digits = 5, eurusd.stops_level = 10, eurusd.point = 0.00001, eurusd.volume_min = 0.01;
    eurusd.volume_max = 50, eurusd.volume_step = 0.01, eurusd.bid = 1.0834, eurusd.ask = 1.08352;
    eurusd.filling_mode = SYMBOL_FILLING_FOK | SYMBOL_FILLING_IOC;
    terminal.symbols["EURUSD.m"] = eurusd;
    mql::PositionInfo position;
    position.ticket = position.identifier = kPosition;
    position.type = POSITION_TYPE_BUY, position.volume = 0.2, position.price_open = 1.08, position.magic = 123;
    position.symbol = "EURUSD.m";
    terminal.positions = {position};
    mql::OrderInfo order;
    order.ticket = kOrder, order.type = ORDER_TYPE_BUY_LIMIT, order.volume_current = 0.1, order.price_open = 1.07;
    order.symbol = "EURUSD.m", order.magic = 124;
    terminal.orders = {order};
    mql::ChartInfo chart;
    chart.id = 130000000000000001;
    chart.window = 0x2222;
    expert->Attach(terminal, chart);
  }

  const MqlTradeRequest& Sent(size_t i) { return terminal.sent.at(i); }
};

TEST_F(Mt5SlaveExpert, TellsThePlannerItsPositionsOrdersAndClosedPositionsByShortTickets) {
  mql::DealInfo out;  // a position closed by its stop yesterday
  out.ticket = 7, out.position_id = 4'000'000'001, out.entry = DEAL_ENTRY_OUT, out.type = DEAL_TYPE_SELL;
  out.volume = 0.3, out.symbol = "EURUSD.m", out.magic = 99, out.time = kNow - 86400;
  mql::DealInfo partial = out;  // of the open position: not closed
  partial.ticket = 8, partial.position_id = kPosition;
  terminal.deals = {out, partial};
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  EXPECT_NE(g_library.settings.find("netting=no\n"), std::string::npos) << g_library.settings;
  EXPECT_EQ(g_library.given,
            (std::vector<std::string>{
                "0: #" + std::to_string(kShortPosition) + " type 0 0.2 EURUSD.m at 1.08 sl 0 tp 0 magic 123 exp 0",
                "0: #" + std::to_string(kShortOrder) + " type 2 0.1 EURUSD.m at 1.07 sl 0 tp 0 magic 124 exp 0",
                "1: #" + std::to_string(static_cast<int>(4'000'000'001 & 0x7FFFFFFF)) +
                    " type 0 0.3 EURUSD.m at 0 sl 0 tp 0 magic 99 exp 0"}));
}

TEST_F(Mt5SlaveExpert, OnANettingAccountSaysSoAndReadsNoClosedPositions) {
  terminal.margin_mode = ACCOUNT_MARGIN_MODE_RETAIL_NETTING;
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  EXPECT_NE(g_library.settings.find("netting=yes\n"), std::string::npos) << g_library.settings;
}

TEST_F(Mt5SlaveExpert, RunsEachActionAsARequestOnTheFullTicket) {
  g_library.plan = {
      {4, 0, "EURUSD.m", ORDER_TYPE_BUY, 0.123456, 1.0835, 1.07, 1.0951234, 0, 99, "qelv 4711 #1001"},
      {4, 0, "EURUSD.m", ORDER_TYPE_BUY_LIMIT, 0.1, 1.0700049, 0, 0, 1252980000, 98, "qelv 4711 #1003"},
      {2, kShortPosition, "EURUSD.m", ORDER_TYPE_BUY, 0.1, 1.08, 0, 0, 0, 123, ""},
      {3, kShortPosition, "EURUSD.m", ORDER_TYPE_BUY, 0, 0, 1.075, 1.09, 0, 123, ""},
      {3, kShortOrder, "EURUSD.m", ORDER_TYPE_BUY_LIMIT, 0, 1.065, 1.06, 1.09, 0, 124, ""},
      {1, kShortOrder, "EURUSD.m", ORDER_TYPE_BUY_LIMIT, 0, 0, 0, 0, 0, 124, ""},
      {0, 0, "EURUSD.m", ORDER_TYPE_SELL, 0.3, 1.08, 0, 0, 0, 7, ""}};  // a netting close names no position
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  ASSERT_EQ(terminal.sent.size(), 7u);
  EXPECT_EQ(Sent(0).action, TRADE_ACTION_DEAL);
  EXPECT_EQ(Sent(0).volume, 0.12) << "on the volume step";
  EXPECT_EQ(Sent(0).price, 1.08352) << "a buy at the ask";
  EXPECT_EQ(Sent(0).type_filling, ORDER_FILLING_FOK) << "the first policy the symbol allows";
  EXPECT_EQ(Sent(0).magic, 99u);
  EXPECT_EQ(Sent(0).comment.Utf8(), "qelv 4711 #1001");
  EXPECT_EQ(Sent(1).action, TRADE_ACTION_PENDING);
  EXPECT_EQ(Sent(1).price, 1.07);
  EXPECT_EQ(Sent(1).type_time, ORDER_TIME_SPECIFIED);
  EXPECT_EQ(Sent(1).expiration, 1252980000);
  EXPECT_EQ(Sent(2).action, TRADE_ACTION_DEAL);
  EXPECT_EQ(Sent(2).position, kPosition);
  EXPECT_EQ(Sent(2).type, ORDER_TYPE_SELL) << "a buy closes by a sell, at the bid";
  EXPECT_EQ(Sent(2).price, 1.0834);
  EXPECT_EQ(Sent(3).action, TRADE_ACTION_SLTP);
  EXPECT_EQ(Sent(3).position, kPosition);
  EXPECT_EQ(Sent(4).action, TRADE_ACTION_MODIFY);
  EXPECT_EQ(Sent(4).order, kOrder);
  EXPECT_EQ(Sent(4).type_time, ORDER_TIME_GTC);
  EXPECT_EQ(Sent(5).action, TRADE_ACTION_REMOVE);
  EXPECT_EQ(Sent(5).order, kOrder);
  EXPECT_EQ(Sent(6).position, 0u);
  EXPECT_EQ(Sent(6).type, ORDER_TYPE_BUY);
  EXPECT_EQ(g_library.done.size(), 7u);
  for (const std::string& done : g_library.done) EXPECT_NE(done.find("error 0"), std::string::npos) << done;
}

TEST_F(Mt5SlaveExpert, TriesTheNextFillPolicyWhenTheServerRefusesOne) {
  g_library.plan = {{4, 0, "EURUSD.m", ORDER_TYPE_SELL, 0.1, 1.0834, 0, 0, 0, 99, ""}};
  terminal.next_retcodes = {TRADE_RETCODE_INVALID_FILL};
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  ASSERT_EQ(terminal.sent.size(), 2u);
  EXPECT_EQ(Sent(0).type_filling, ORDER_FILLING_FOK);
  EXPECT_EQ(Sent(1).type_filling, ORDER_FILLING_IOC);
  EXPECT_EQ(g_library.done, std::vector<std::string>{"0: error 0, ticket 0"});
}

TEST_F(Mt5SlaveExpert, ReportsTheRetcodeOfAFailedRequestAndStopsThePass) {
  g_library.plan = {{0, kShortPosition, "EURUSD.m", ORDER_TYPE_BUY, 0.2, 1.08, 0, 0, 0, 123, ""},
                    {1, kShortOrder, "EURUSD.m", ORDER_TYPE_BUY_LIMIT, 0, 0, 0, 0, 0, 124, ""}};
  terminal.retcode = TRADE_RETCODE_NO_MONEY;
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  EXPECT_EQ(terminal.sent.size(), 1u);
  EXPECT_EQ(g_library.done, std::vector<std::string>{"0: error 10019, ticket 0"});
  EXPECT_EQ(terminal.journal.back(),
            "action 0 (kind 0, #" + std::to_string(kShortPosition) + " EURUSD.m) failed: retcode 10019");
}

// A position the plan names that is gone meanwhile is reported closed, with no request made.
TEST_F(Mt5SlaveExpert, ClosesNothingOfAPositionNoLongerOpen) {
  g_library.plan = {{0, 77, "EURUSD.m", ORDER_TYPE_BUY, 0.2, 1.08, 0, 0, 0, 123, ""}};
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  EXPECT_TRUE(terminal.sent.empty());
  EXPECT_EQ(g_library.done, std::vector<std::string>{"0: error 10036, ticket 0"});
}

}  // namespace
