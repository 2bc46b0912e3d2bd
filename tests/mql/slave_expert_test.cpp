// The shipped slave expert (experts/e-qelv-slave.mq4), translated, against a slave library of
// the test's own whose planner answers a plan the test scripts (fake_slave_library.h): what the
// expert tells the planner, which trade calls it makes of the plan, and what it reports back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fake_slave_library.h"
#include "fake_terminal.h"
#include "shipped_experts.h"

namespace {

using namespace mql::builtin;

const mql::mlong kNow = 1252972800;

struct SlaveExpert : testing::Test {
  FakeTerminal terminal;
  std::unique_ptr<mql::Program4> expert = NewSlaveExpert();

  SlaveExpert() {
    g_library = SlaveLibrary{};
    InstallFakeSlaveLibrary(terminal.functions);
    terminal.now = kNow;
    terminal.market["EURUSD.m"] = {{MODE_DIGITS, 5},  {MODE_POINT, 0.00001}, {MODE_MINLOT, 0.01},
                                   {MODE_MAXLOT, 50}, {MODE_LOTSTEP, 0.01},  {MODE_STOPLEVEL, 10},
                                   {MODE_BID, 1.0834}, {MODE_ASK, 1.08352}};
    mql::ChartInfo chart;
    chart.id = 130000000000000001;
    chart.window = 0x2222;
    expert->Attach(terminal, chart);
  }
};

TEST_F(SlaveExpert, TellsThePlannerItsInputsAsSettings) {
  ASSERT_TRUE(expert->SetInput("LotMultiplier", "2"));
  ASSERT_TRUE(expert->SetInput("SlaveSuffix", ".m"));
  ASSERT_TRUE(expert->SetInput("Reverse", "true"));
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  EXPECT_EQ(expert->TimerMs(), 1);
  const std::string& s = g_library.settings;
  for (const char* line : {"lot_multiplier=2.00000000\n", "slave_suffix=.m\n", "reverse=yes\n", "copy_pending=yes\n",
                           "copy_old=no\n", "master_time_offset=0\n"})
    EXPECT_NE(s.find(line), std::string::npos) << line << " in\n" << s;
  EXPECT_EQ(s.back(), '\0') << "the size passed holds the text's zero";
}

TEST_F(SlaveExpert, DoesNotStartWhenThePlannerFindsProblemsInTheSettings) {
  g_library.problems = 1;
  g_library.log = {"max_lots: not a number"};
  EXPECT_EQ(expert->OnInit(), INIT_PARAMETERS_INCORRECT);
  EXPECT_EQ(terminal.journal.front(), "max_lots: not a number");
  EXPECT_NE(terminal.journal.back().find("nothing is copied"), std::string::npos);
}

TEST_F(SlaveExpert, RefusesANegativeSlippage) {
  ASSERT_TRUE(expert->SetInput("Slippage", "-1"));
  EXPECT_EQ(expert->OnInit(), INIT_PARAMETERS_INCORRECT);
  EXPECT_TRUE(g_library.settings.empty());
}

TEST_F(SlaveExpert, GivesThePlannerTheAccountsOrdersTheRecentHistoryAndTheWantedSymbols) {
  mql::OrderRecord open, recent, old, balance;
  open.ticket = 5001, open.type = OP_BUY, open.lots = 0.2, open.symbol = "EURUSD.m", open.open_price = 1.08;
  open.magic = 123;
  recent = open, recent.ticket = 5000, recent.close_time = kNow - 86400;
  old = open, old.ticket = 4000, old.close_time = kNow - 8 * 86400;
  balance.ticket = 3000, balance.type = 6, balance.close_time = kNow - 60;
  terminal.trades = {open};
  terminal.history = {old, recent, balance};
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  EXPECT_EQ(g_library.fetches, 1) << "a new set was published";
  EXPECT_EQ(g_library.begun, std::to_string(kNow) + " " + std::to_string(kNow));
  EXPECT_EQ(g_library.given, (std::vector<std::string>{"0: #5001 type 0 0.2 EURUSD.m at 1.08 sl 0 tp 0 magic 123 exp 0",
                                                       "1: #5000 type 0 0.2 EURUSD.m at 1.08 sl 0 tp 0 magic 123 exp 0"}));
  EXPECT_EQ(g_library.facts, std::vector<std::string>{
                                 "EURUSD.m exists 1 digits 5 point 1e-05 lots 0.01..50 by 0.01 stops 10 bid 1.0834 ask 1.08352"});
  expert->OnTimer();
  EXPECT_EQ(g_library.fetches, 1) << "the set held is the one published";
}

TEST_F(SlaveExpert, FollowsFromTheTimeItFirstSawItsAccountThroughRestarts) {
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  const std::string name = "qelv.following.4711.130000000000000001";
  ASSERT_EQ(terminal.globals.count(name), 1u);
  EXPECT_EQ(terminal.globals[name], kNow);
  EXPECT_EQ(terminal.flushes, 1);
  terminal.now += 3600;
  auto restarted = NewSlaveExpert();
  mql::ChartInfo chart = expert->Chart();
  restarted->Attach(terminal, chart);
  ASSERT_EQ(restarted->OnInit(), INIT_SUCCEEDED);
  restarted->OnTimer();
  EXPECT_EQ(g_library.begun, std::to_string(kNow + 3600) + " " + std::to_string(kNow));
}

TEST_F(SlaveExpert, RunsEachActionOfThePlanAsItsTradeCallAndReportsTheResult) {
  g_library.plan = {
      {4, 0, "EURUSD.m", OP_BUY, 0.123456, 1.0835, 1.07, 1.0951234, 0, 99, "qelv 4711 #1001"},
      {4, 0, "EURUSD.m", OP_BUYLIMIT, 0.1, 1.0700049, 0, 0, 1252980000, 99, "qelv 4711 #1003"},
      {0, 5001, "EURUSD.m", OP_BUY, 0.2, 1.08, 0, 0, 0, 0, ""},
      {2, 5002, "EURUSD.m", OP_SELL, 0.1, 1.08, 0, 0, 0, 0, ""},
      {3, 5003, "EURUSD.m", OP_BUYLIMIT, 0, 1.07, 1.06, 1.09, 0, 0, ""},
      {1, 5004, "EURUSD.m", OP_SELLSTOP, 0, 0, 0, 0, 0, 0, ""}};
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  EXPECT_EQ(terminal.trade_calls, (std::vector<std::string>{
                                      "send EURUSD.m 0 0.120000 1.083520 qelv 4711 #1001",  // at the ask, lots on the step
                                      "send EURUSD.m 2 0.100000 1.070000 qelv 4711 #1003",  // at its own price
                                      "close 5001 0.200000 1.083400",                       // a buy at the bid
                                      "close 5002 0.100000 1.083520",                       // a sell at the ask
                                      "modify 5003",
                                      "delete 5004"}));
  EXPECT_EQ(g_library.done, (std::vector<std::string>{"0: error 0, ticket 100", "1: error 0, ticket 101",
                                                      "2: error 0, ticket 0", "3: error 0, ticket 0",
                                                      "4: error 0, ticket 0", "5: error 0, ticket 0"}));
}

TEST_F(SlaveExpert, StopsThePassAtAFailedActionAndReportsItsError) {
  g_library.plan = {{0, 5001, "EURUSD.m", OP_BUY, 0.2, 1.08, 0, 0, 0, 0, ""},
                    {1, 5004, "EURUSD.m", OP_SELLSTOP, 0, 0, 0, 0, 0, 0, ""}};
  terminal.trade_error = ERR_REQUOTE;
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  EXPECT_EQ(terminal.trade_calls.size(), 1u);
  EXPECT_EQ(g_library.done, std::vector<std::string>{"0: error 138, ticket 0"});
  EXPECT_EQ(terminal.journal.back(), "action 0 (kind 0, #5001 EURUSD.m) failed: error 138");
}

TEST_F(SlaveExpert, SaysOnceThatTradingIsOffAndTradesNothing) {
  g_library.plan = {{1, 5004, "EURUSD.m", OP_SELLSTOP, 0, 0, 0, 0, 0, 0, ""}};
  terminal.trade_allowed = false;
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  expert->OnTimer();
  EXPECT_TRUE(terminal.trade_calls.empty());
  EXPECT_EQ(std::count_if(terminal.journal.begin(), terminal.journal.end(),
                          [](const std::string& l) { return l.find("trading by experts is off") != std::string::npos; }),
            1);
}

TEST_F(SlaveExpert, PrintsOnlyThePlannersLinesTheLastPassDidNotHave) {
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  terminal.journal.clear();
  g_library.log = {"4711 #1001: waiting for EURUSD.m"};
  expert->OnTimer();
  expert->OnTimer();
  g_library.log = {"4711 #1001: waiting for EURUSD.m", "4711 #1002: copied"};
  expert->OnTimer();
  EXPECT_EQ(terminal.journal, (std::vector<std::string>{"4711 #1001: waiting for EURUSD.m", "4711 #1002: copied"}));
}

}  // namespace
