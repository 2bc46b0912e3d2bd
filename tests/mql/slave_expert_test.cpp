// The shipped slave expert (experts/e-qelv-slave.mq4), translated, against a slave library of
// the test's own whose planner answers a plan the test scripts: what the expert tells the
// planner, which trade calls it makes of the plan, and what it reports back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fake_terminal.h"
#include "shipped_experts.h"

namespace {

using namespace mql::builtin;

struct Action {
  int kind, ticket;
  std::string symbol;
  int type;
  double lots, price, sl, tp;
  int expiration, magic;
  std::string comment;
};

struct SlaveLibrary {
  std::string settings;
  int problems = 0;
  int published = 77, held = 0, fetches = 0;
  std::string begun;
  std::vector<std::string> given, symbols = {"EURUSD.m"}, facts, done, log;
  std::vector<Action> plan;
} g_library;

std::string Text(const mql::uchar* bytes) { return bytes ? reinterpret_cast<const char*>(bytes) : "(none)"; }

void Copy(const std::string& text, mql::uchar* bytes, int size) {
  const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(bytes, text.data(), n);
  bytes[n] = 0;
}

int MQL_STDCALL Zero2(int, int) { return 0; }
int MQL_STDCALL Zero1(int) { return 0; }
int MQL_STDCALL FindWindow(mql::uchar*) { return 1; }
int MQL_STDCALL WaitCrc(int, int) { return g_library.published; }
int MQL_STDCALL ImagesGet(int) { return g_library.fetches++, 100; }
int MQL_STDCALL ImagesCalcCrc() { return g_library.held; }
int MQL_STDCALL ImagesSplit() { return g_library.held = g_library.published, 1; }
int MQL_STDCALL Settings(int, mql::uchar* text, int size) {
  g_library.settings.assign(reinterpret_cast<const char*>(text), static_cast<size_t>(size));
  return g_library.problems;
}
int MQL_STDCALL Begin(int, int now, int since) {
  g_library.begun = std::to_string(now) + " " + std::to_string(since);
  g_library.given.clear();
  g_library.facts.clear();
  return 0;
}
int MQL_STDCALL OrderAdd(int, int pool, int ticket, int type, double lots, mql::uchar* symbol, int, double open,
                         double sl, double tp, int magic, int expiration) {
  char line[256];
  std::snprintf(line, sizeof line, "%d: #%d type %d %g %s at %g sl %g tp %g magic %d exp %d", pool, ticket, type, lots,
                Text(symbol).c_str(), open, sl, tp, magic, expiration);
  g_library.given.push_back(line);
  return 0;
}
int MQL_STDCALL SymbolsWanted(int) { return static_cast<int>(g_library.symbols.size()); }
int MQL_STDCALL SymbolName(int, int index, mql::uchar* name, int size) {
  Copy(g_library.symbols[index], name, size);
  return 1;
}
int MQL_STDCALL SymbolAdd(int, mql::uchar* name, int, int exists, int digits, double point, double lot_min,
                          double lot_max, double lot_step, int stops, double bid, double ask) {
  char line[256];
  std::snprintf(line, sizeof line, "%s exists %d digits %d point %g lots %g..%g by %g stops %d bid %g ask %g",
                Text(name).c_str(), exists, digits, point, lot_min, lot_max, lot_step, stops, bid, ask);
  g_library.facts.push_back(line);
  return 0;
}
int MQL_STDCALL Plan(int) { return static_cast<int>(g_library.plan.size()); }
int MQL_STDCALL ActionGet(int, int index, int* kind, int* ticket, mql::uchar* symbol, int symbol_size, int* type,
                          double* lots, double* price, double* sl, double* tp, int* expiration, int* magic,
                          mql::uchar* comment, int comment_size) {
  const Action& a = g_library.plan[index];
  *kind = a.kind, *ticket = a.ticket, *type = a.type, *lots = a.lots, *price = a.price, *sl = a.sl, *tp = a.tp;
  *expiration = a.expiration, *magic = a.magic;
  Copy(a.symbol, symbol, symbol_size);
  Copy(a.comment, comment, comment_size);
  return 1;
}
int MQL_STDCALL ActionDone(int, int index, int error, int new_ticket) {
  g_library.done.push_back(std::to_string(index) + ": error " + std::to_string(error) + ", ticket " +
                           std::to_string(new_ticket));
  return 1;
}
int MQL_STDCALL LogCount(int) { return static_cast<int>(g_library.log.size()); }
int MQL_STDCALL LogGet(int, int index, mql::uchar* line, int size) {
  Copy(g_library.log[index], line, size);
  return 1;
}

const mql::mlong kNow = 1252972800;

struct SlaveExpert : testing::Test {
  FakeTerminal terminal;
  std::unique_ptr<mql::Program4> expert = NewSlaveExpert();

  SlaveExpert() {
    g_library = SlaveLibrary{};
    const std::pair<const char*, void*> functions[] = {
        {"_init", reinterpret_cast<void*>(&Zero2)},
        {"_deinit", reinterpret_cast<void*>(&Zero2)},
        {"_find_window", reinterpret_cast<void*>(&FindWindow)},
        {"_qelv_marker_send", reinterpret_cast<void*>(&Zero2)},
        {"_qelv_wait_crc", reinterpret_cast<void*>(&WaitCrc)},
        {"_qelv_images_get", reinterpret_cast<void*>(&ImagesGet)},
        {"_images_calc_crc", reinterpret_cast<void*>(&ImagesCalcCrc)},
        {"_images_split", reinterpret_cast<void*>(&ImagesSplit)},
        {"_copier_settings", reinterpret_cast<void*>(&Settings)},
        {"_copier_begin", reinterpret_cast<void*>(&Begin)},
        {"_copier_order_add", reinterpret_cast<void*>(&OrderAdd)},
        {"_copier_symbols_wanted", reinterpret_cast<void*>(&SymbolsWanted)},
        {"_copier_symbol_name", reinterpret_cast<void*>(&SymbolName)},
        {"_copier_symbol_add", reinterpret_cast<void*>(&SymbolAdd)},
        {"_copier_plan", reinterpret_cast<void*>(&Plan)},
        {"_copier_action_get", reinterpret_cast<void*>(&ActionGet)},
        {"_copier_action_done", reinterpret_cast<void*>(&ActionDone)},
        {"_copier_log_count", reinterpret_cast<void*>(&LogCount)},
        {"_copier_log_get", reinterpret_cast<void*>(&LogGet)},
        {"_copier_end", reinterpret_cast<void*>(&Zero1)}};
    for (const auto& [name, function] : functions) terminal.functions[std::string("qelv_r30uv.dll::") + name] = function;
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
