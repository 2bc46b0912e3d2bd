// The MQL5 functions that act on a program's MT5 account: what a selection copies and what the
// getters answer without one, the history a time range selects, OrderSend's answer and the
// last error, and the properties of symbols, the account and the terminal.
#include <gtest/gtest.h>

#include "fake_mt5_terminal.h"

namespace {

using namespace mql::builtin5;
using mql::operator""_mq;

// A program whose MQL5 functions the tests call directly.
struct Probe5 : mql::Program5 {
  const char* Name() const override { return "probe5"; }
  std::vector<mql::InputInfo> Inputs() const override { return {}; }
  bool SetInput(const std::string&, const std::string&) override { return false; }
  unsigned Handlers() const override { return 0; }

  using Program5::_Symbol;
  using Program5::AccountInfoInteger;
  using Program5::GetLastError;
  using Program5::GlobalVariableGet;
  using Program5::HistoryDealGetDouble;
  using Program5::HistoryDealGetInteger;
  using Program5::HistoryDealGetTicket;
  using Program5::HistoryDealsTotal;
  using Program5::HistoryOrderGetInteger;
  using Program5::HistoryOrderGetTicket;
  using Program5::HistoryOrdersTotal;
  using Program5::HistorySelect;
  using Program5::OrderGetDouble;
  using Program5::OrderGetInteger;
  using Program5::OrderGetTicket;
  using Program5::OrderSelect;
  using Program5::OrderSend;
  using Program5::PositionGetDouble;
  using Program5::PositionGetInteger;
  using Program5::PositionGetString;
  using Program5::PositionGetTicket;
  using Program5::PositionSelectByTicket;
  using Program5::PositionsTotal;
  using Program5::SymbolInfoDouble;
  using Program5::SymbolInfoInteger;
  using Program5::TerminalInfoInteger;
};

constexpr mql::ulong kBig = 5'000'000'000;  // tickets beyond 32 bits

mql::PositionInfo Position(mql::ulong ticket, double volume) {
  mql::PositionInfo p;
  p.ticket = ticket, p.identifier = ticket, p.type = POSITION_TYPE_SELL, p.volume = volume;
  p.symbol = "EURUSD", p.comment = "from #" + std::to_string(ticket - 1);
  return p;
}

mql::DealInfo Deal(mql::ulong ticket, mql::mlong time) {
  mql::DealInfo d;
  d.ticket = ticket, d.order = ticket - 1, d.time = time, d.entry = DEAL_ENTRY_OUT, d.profit = 12.5;
  return d;
}

mql::OrderInfo Finished(mql::ulong ticket, int state, mql::mlong done) {
  mql::OrderInfo o;
  o.ticket = ticket, o.state = state, o.time_setup = done - 60, o.time_done = done;
  return o;
}

struct Program5Test : testing::Test {
  FakeMt5Terminal terminal;
  Probe5 program;
  Program5Test() {
    mql::ChartInfo chart;
    chart.symbol = "GBPUSD";
    program.Attach(terminal, chart);
    terminal.positions = {Position(kBig + 1, 0.1), Position(kBig + 3, 0.3)};
  }
};

TEST_F(Program5Test, APositionSelectedByIndexOrTicketIsACopyTheGettersRead) {
  EXPECT_EQ(program.PositionsTotal(), 2);
  EXPECT_EQ(program.PositionGetTicket(1), kBig + 3);
  terminal.positions[1].volume = 0.2;  // a change after the selection is not seen
  EXPECT_DOUBLE_EQ(program.PositionGetDouble(POSITION_VOLUME), 0.3);
  EXPECT_EQ(program.PositionGetInteger(POSITION_TYPE), POSITION_TYPE_SELL);
  EXPECT_EQ(program.PositionGetString(POSITION_COMMENT), "from #5000000002"_mq);
  ASSERT_TRUE(program.PositionSelectByTicket(kBig + 1));
  EXPECT_EQ(program.PositionGetInteger(POSITION_IDENTIFIER), static_cast<mql::mlong>(kBig + 1));
  EXPECT_EQ(program.GetLastError(), 0);

  EXPECT_FALSE(program.PositionSelectByTicket(kBig + 2));
  EXPECT_EQ(program.GetLastError(), ERR_TRADE_POSITION_NOT_FOUND);
  EXPECT_EQ(program.PositionGetTicket(2), 0u);
  EXPECT_EQ(program.GetLastError(), ERR_TRADE_POSITION_NOT_FOUND);
  EXPECT_EQ(program.PositionGetInteger(POSITION_TICKET), static_cast<mql::mlong>(kBig + 1));  // still selected
}

TEST_F(Program5Test, GettersWithoutASelectionAnswerNothingAndSayWhy) {
  EXPECT_EQ(program.PositionGetInteger(POSITION_TICKET), 0);
  EXPECT_EQ(program.GetLastError(), ERR_TRADE_POSITION_NOT_FOUND);
  EXPECT_EQ(program.OrderGetDouble(ORDER_PRICE_OPEN), 0);
  EXPECT_EQ(program.GetLastError(), ERR_TRADE_ORDER_NOT_FOUND);
}

TEST_F(Program5Test, AnActiveOrderIsSelectedByIndexOrTicket) {
  mql::OrderInfo pending;
  pending.ticket = kBig + 9, pending.type = ORDER_TYPE_BUY_LIMIT, pending.price_open = 1.1;
  terminal.orders = {pending};
  EXPECT_EQ(program.OrderGetTicket(0), kBig + 9);
  EXPECT_EQ(program.OrderGetInteger(ORDER_TYPE), ORDER_TYPE_BUY_LIMIT);
  EXPECT_TRUE(program.OrderSelect(kBig + 9));
  EXPECT_FALSE(program.OrderSelect(kBig + 1));  // a position's ticket is no order's
  EXPECT_EQ(program.GetLastError(), ERR_TRADE_ORDER_NOT_FOUND);
}

TEST_F(Program5Test, HistorySelectTakesTheDealsAndOrdersOfItsRangeBothEndsIncluded) {
  terminal.deals = {Deal(11, 100), Deal(12, 200), Deal(13, 201)};
  terminal.history_orders = {Finished(21, ORDER_STATE_FILLED, 100), Finished(22, ORDER_STATE_CANCELED, 99)};
  ASSERT_TRUE(program.HistorySelect(100, 200));
  ASSERT_EQ(program.HistoryDealsTotal(), 2);
  EXPECT_EQ(program.HistoryDealGetTicket(1), 12u);
  EXPECT_EQ(program.HistoryDealGetInteger(12, DEAL_ORDER), 11);
  EXPECT_DOUBLE_EQ(program.HistoryDealGetDouble(12, DEAL_PROFIT), 12.5);
  ASSERT_EQ(program.HistoryOrdersTotal(), 1);
  EXPECT_EQ(program.HistoryOrderGetTicket(0), 21u);
  EXPECT_EQ(program.HistoryOrderGetInteger(21, ORDER_STATE), ORDER_STATE_FILLED);
  EXPECT_EQ(program.GetLastError(), 0);

  EXPECT_EQ(program.HistoryDealGetInteger(13, DEAL_TIME), 0);  // outside the range
  EXPECT_EQ(program.GetLastError(), ERR_TRADE_DEAL_NOT_FOUND);
  EXPECT_EQ(program.HistoryOrderGetInteger(22, ORDER_TIME_DONE), 0);
  EXPECT_EQ(program.GetLastError(), ERR_TRADE_ORDER_NOT_FOUND);
  terminal.deals.push_back(Deal(14, 150));  // seen only by the next HistorySelect
  EXPECT_EQ(program.HistoryDealsTotal(), 2);
  program.HistorySelect(0, 1000);
  EXPECT_EQ(program.HistoryDealsTotal(), 4);
}

TEST_F(Program5Test, OrderSendIsTrueOnlyForAPlacedOrDoneRequestAndElseSetsTradeSendFailed) {
  MqlTradeRequest request{};
  MqlTradeResult result{};
  request.action = TRADE_ACTION_DEAL, request.type = ORDER_TYPE_SELL, request.symbol = "EURUSD"_mq;
  request.volume = 0.1, request.comment = "copy"_mq;
  EXPECT_TRUE(program.OrderSend(request, result));
  EXPECT_EQ(result.retcode, TRADE_RETCODE_DONE);
  EXPECT_EQ(result.order, 5'000'000'001u);
  EXPECT_EQ(program.GetLastError(), 0);
  terminal.retcode = TRADE_RETCODE_PLACED;
  EXPECT_TRUE(program.OrderSend(request, result));

  terminal.retcode = TRADE_RETCODE_INVALID_STOPS;
  EXPECT_FALSE(program.OrderSend(request, result));
  EXPECT_EQ(result.retcode, TRADE_RETCODE_INVALID_STOPS);
  EXPECT_EQ(program.GetLastError(), ERR_TRADE_SEND_FAILED);
  EXPECT_EQ(terminal.requests.back(), "1 1 EURUSD 0.1 copy");
}

TEST_F(Program5Test, SymbolAccountAndTerminalPropertiesAreTheTerminalsWithMql5Errors) {
  mql::SymbolFacts eurusd;
  eurusd.digits = 5, eurusd.filling_mode = SYMBOL_FILLING_IOC, eurusd.volume_step = 0.01;
  terminal.symbols["EURUSD"] = eurusd;
  EXPECT_EQ(program.SymbolInfoInteger("EURUSD"_mq, SYMBOL_FILLING_MODE), SYMBOL_FILLING_IOC);
  EXPECT_DOUBLE_EQ(program.SymbolInfoDouble("EURUSD"_mq, SYMBOL_VOLUME_STEP), 0.01);
  EXPECT_EQ(program.SymbolInfoInteger("GOLD"_mq, SYMBOL_DIGITS), 0);
  EXPECT_EQ(program.GetLastError(), ERR_MARKET_UNKNOWN_SYMBOL);

  EXPECT_EQ(program.AccountInfoInteger(ACCOUNT_MARGIN_MODE), ACCOUNT_MARGIN_MODE_RETAIL_HEDGING);
  EXPECT_EQ(program.AccountInfoInteger(ACCOUNT_LOGIN), 5001);
  terminal.trade_allowed = false;
  EXPECT_EQ(program.TerminalInfoInteger(TERMINAL_TRADE_ALLOWED), 0);
  EXPECT_EQ(program._Symbol, "GBPUSD"_mq);
  EXPECT_EQ(program.GlobalVariableGet("qelv.missing"_mq), 0);
  EXPECT_EQ(program.GetLastError(), ERR_GLOBALVARIABLE_NOT_FOUND);  // MQL4 answers 4058
}

}  // namespace
