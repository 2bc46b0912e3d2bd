// The MQL4 functions that act on a program's terminal and state: the last error as the
// terminal keeps it, the selected order, trade calls, the chart, the timer, global variables
// and library calls bound at their first call.
#include <gtest/gtest.h>

#include <chrono>

#include "fake_terminal.h"

namespace {

using namespace mql::builtin;
using mql::operator""_mq;

// A program whose MQL4 functions the tests call directly.
struct Probe : mql::Program4 {
  const char* Name() const override { return "probe"; }
  std::vector<mql::InputInfo> Inputs() const override { return {}; }
  bool SetInput(const std::string&, const std::string&) override { return false; }
  unsigned Handlers() const override { return 0; }

  using Program4::ChartGetInteger;
  using Program4::EventSetMillisecondTimer;
  using Program4::GetLastError;
  using Program4::GlobalVariableGet;
  using Program4::ImportCall;
  using Program4::IsTradeAllowed;
  using Program4::MarketInfo;
  using Program4::OrderClose;
  using Program4::OrderComment;
  using Program4::OrderLots;
  using Program4::OrderSelect;
  using Program4::OrderSend;
  using Program4::OrderTicket;
  using Program4::Print;
  using Program4::Sleep;
};

struct ProgramTest : testing::Test {
  FakeTerminal terminal;
  Probe program;
  ProgramTest() {
    mql::ChartInfo chart;
    chart.id = 131;
    chart.window = 0x1234;
    program.Attach(terminal, chart);
    mql::OrderRecord open, closed;
    open.ticket = 7, open.lots = 0.5, open.comment = "from #5";
    closed.ticket = 5, closed.lots = 0.25, closed.close_time = 1252972800;
    terminal.trades = {open};
    terminal.history = {closed};
  }
};

TEST_F(ProgramTest, GetLastErrorAnswersTheTradeServersCodeOnceThenNoError) {
  terminal.trade_error = ERR_REQUOTE;
  EXPECT_EQ(program.OrderSend("EURUSD"_mq, OP_BUY, 0.1, 1.1, 3, 0, 0), -1);
  EXPECT_EQ(program.GetLastError(), ERR_REQUOTE);
  EXPECT_EQ(program.GetLastError(), 0);
  terminal.trade_error = 0;
  EXPECT_EQ(program.OrderSend("EURUSD"_mq, OP_BUY, 0.1, 1.1, 3, 0, 0, "copy"_mq), 100);
  EXPECT_EQ(program.GetLastError(), 0);
  EXPECT_EQ(terminal.trade_calls.back(), "send EURUSD 0 0.100000 1.100000 copy");
}

TEST_F(ProgramTest, OrderSelectFindsByPositionInEachPoolAndByTicketInBoth) {
  ASSERT_TRUE(program.OrderSelect(0, SELECT_BY_POS, MODE_HISTORY));
  EXPECT_EQ(program.OrderTicket(), 5);
  ASSERT_TRUE(program.OrderSelect(0, SELECT_BY_POS));
  EXPECT_EQ(program.OrderTicket(), 7);
  EXPECT_EQ(program.OrderComment(), "from #5"_mq);
  ASSERT_TRUE(program.OrderSelect(5, SELECT_BY_TICKET));
  EXPECT_DOUBLE_EQ(program.OrderLots(), 0.25);
  EXPECT_EQ(program.GetLastError(), 0);

  EXPECT_FALSE(program.OrderSelect(99, SELECT_BY_TICKET));
  EXPECT_EQ(program.GetLastError(), ERR_INVALID_TICKET);
  EXPECT_FALSE(program.OrderSelect(1, SELECT_BY_POS, MODE_TRADES));
  EXPECT_EQ(program.OrderTicket(), 5);  // a failed select leaves the last one selected
}

TEST_F(ProgramTest, OrderGettersWithoutASelectionAnswerNothingAndSayWhy) {
  Probe fresh;
  fresh.Attach(terminal, mql::ChartInfo{});
  EXPECT_EQ(fresh.OrderTicket(), 0);
  EXPECT_EQ(fresh.GetLastError(), ERR_NO_ORDER_SELECTED);
}

TEST_F(ProgramTest, ATradeCallThatFailsWithoutACodeStillReportsAFailure) {
  terminal.trade_error = -1;  // a server that says nothing useful
  EXPECT_FALSE(program.OrderClose(7, 0.5, 1.1, 3));
  EXPECT_NE(program.GetLastError(), 0);
  terminal.trade_error = 0;
  // A terminal of the test's that claims failure with no code: the layer calls it common error.
  struct Silent : FakeTerminal {
    bool OrderClose(int, double, double, int, int& error) override { return error = 0, false; }
  } silent;
  Probe other;
  other.Attach(silent, mql::ChartInfo{});
  EXPECT_FALSE(other.OrderClose(7, 0.5, 1.1, 3));
  EXPECT_EQ(other.GetLastError(), ERR_COMMON_ERROR);
}

TEST_F(ProgramTest, MarketInfoOfAnUnknownSymbolIsZeroWithItsError) {
  terminal.market["EURUSD"][MODE_DIGITS] = 5;
  EXPECT_EQ(program.MarketInfo("EURUSD"_mq, MODE_DIGITS), 5);
  EXPECT_EQ(program.GetLastError(), 0);
  EXPECT_EQ(program.MarketInfo("GOLD"_mq, MODE_DIGITS), 0);
  EXPECT_EQ(program.GetLastError(), ERR_UNKNOWN_SYMBOL);
}

TEST_F(ProgramTest, TradingIsNotAllowedWhileTheTradeContextIsBusy) {
  EXPECT_TRUE(program.IsTradeAllowed());
  terminal.context_busy = true;
  EXPECT_FALSE(program.IsTradeAllowed());
  terminal.context_busy = false;
  terminal.trade_allowed = false;
  EXPECT_FALSE(program.IsTradeAllowed());
}

TEST_F(ProgramTest, TheChartAnswersItsWindowAndNothingElse) {
  EXPECT_EQ(program.ChartGetInteger(0, CHART_WINDOW_HANDLE), 0x1234);
  EXPECT_EQ(program.ChartGetInteger(131, CHART_WINDOW_HANDLE), 0x1234);
  EXPECT_EQ(program.GetLastError(), 0);
  EXPECT_EQ(program.ChartGetInteger(0, 999), 0);
  EXPECT_EQ(program.GetLastError(), ERR_INVALID_FUNCTION_PARAMVALUE);
}

TEST_F(ProgramTest, TheTimerTakesAPositivePeriodOnly) {
  EXPECT_FALSE(program.EventSetMillisecondTimer(0));
  EXPECT_EQ(program.TimerMs(), 0);
  EXPECT_TRUE(program.EventSetMillisecondTimer(10));
  EXPECT_EQ(program.TimerMs(), 10);
}

TEST_F(ProgramTest, AMissingGlobalVariableReadsAsZeroWithItsError) {
  EXPECT_EQ(program.GlobalVariableGet("qelv.following"_mq), 0);
  EXPECT_EQ(program.GetLastError(), ERR_GLOBAL_VARIABLE_NOT_FOUND);
}

TEST_F(ProgramTest, PrintWritesValuesAsTheJournalShowsThem) {
  program.Print("lots "_mq, 0.1, ", ticket "_mq, 7, ", "_mq, true, ", "_mq, mql::datetime(1252972800));
  ASSERT_EQ(terminal.journal.size(), 1u);
  EXPECT_EQ(terminal.journal[0], "lots 0.1, ticket 7, true, 2009.09.15 00:00:00");
}

TEST_F(ProgramTest, SleepEndsAtOnceForAProgramBeingStopped) {
  program.RequestStop();
  const auto began = std::chrono::steady_clock::now();
  program.Sleep(60000);
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(30));
}

int MQL_STDCALL Twice(int value) { return 2 * value; }

TEST_F(ProgramTest, ALibraryFunctionIsCalledThroughTheTerminalWhichWatchesEachCall) {
  terminal.functions["sample.dll::_twice"] = reinterpret_cast<void*>(&Twice);
  EXPECT_EQ((program.ImportCall<int(MQL_STDCALL*)(int)>(0, "sample.dll", "_twice", 21)), 42);
  terminal.functions.clear();  // bound at the first call: the terminal is not asked again
  EXPECT_EQ((program.ImportCall<int(MQL_STDCALL*)(int)>(0, "sample.dll", "_twice", 4)), 8);
  EXPECT_EQ(terminal.calls, (std::vector<std::string>{"_twice", "_twice -> 42", "_twice", "_twice -> 8"}));
}

TEST_F(ProgramTest, ALibraryFunctionThatCannotBeHadIsACriticalError) {
  try {
    program.ImportCall<int(MQL_STDCALL*)(int)>(0, "sample.dll", "_twice", 1);
    FAIL() << "no critical error";
  } catch (const mql::CriticalError& e) {
    EXPECT_STREQ(e.what(), "Cannot call 'sample.dll::_twice', 'sample.dll' is not loaded: unresolved import function call");
  }
  terminal.functions["sample.dll::_twice"] = reinterpret_cast<void*>(&Twice);
  terminal.dlls_allowed = false;
  EXPECT_THROW((program.ImportCall<int(MQL_STDCALL*)(int)>(1, "sample.dll", "_twice", 1)), mql::CriticalError);
  EXPECT_TRUE(terminal.calls.empty());
}

}  // namespace
