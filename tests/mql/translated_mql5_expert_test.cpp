// An MQL5 expert of the constructs the translator takes (sample/e-sample5.mq5), translated at
// build time and run against an MT5 terminal of the test's own: trade structures filled field
// by field, zeroed and passed by reference, enumerations cast, positions selected and read.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fake_mt5_terminal.h"

std::unique_ptr<mql::Program5> NewSample5Expert();

namespace {

using namespace mql::builtin5;

struct Sample5Expert : testing::Test {
  FakeMt5Terminal terminal;
  std::unique_ptr<mql::Program5> expert = NewSample5Expert();

  Sample5Expert() {
    mql::SymbolFacts ioc_only, fok_only;
    ioc_only.filling_mode = SYMBOL_FILLING_IOC;
    fok_only.filling_mode = SYMBOL_FILLING_FOK;
    terminal.symbols = {{"EURUSD", ioc_only}, {"USDJPY", fok_only}};
    mql::PositionInfo buy, sell;
    buy.ticket = 7, buy.type = POSITION_TYPE_BUY, buy.volume = 0.5, buy.symbol = "EURUSD";
    sell.ticket = 8, sell.type = POSITION_TYPE_SELL, sell.volume = 0.25, sell.symbol = "USDJPY";
    terminal.positions = {buy, sell};
    expert->Attach(terminal, mql::ChartInfo{});
  }
};

TEST_F(Sample5Expert, ClosesEachPositionByTheOtherSideThenBuysOnItsChartsSymbol) {
  ASSERT_TRUE(expert->SetInput("Lots100", "20"));
  expert->OnTick();
  // action type symbol volume comment: a sell closes the buy, a buy the sell, then the buy.
  EXPECT_EQ(terminal.requests, (std::vector<std::string>{"1 0 USDJPY 0.25 close", "1 1 EURUSD 0.5 close",
                                                         "1 0 EURUSD 0.2 "}));
  EXPECT_EQ(terminal.journal, std::vector<std::string>{"bought 0.2, order 5000000003"});
}

TEST_F(Sample5Expert, SaysWhyAServerRefusedAClose) {
  terminal.retcode = TRADE_RETCODE_INVALID_FILL;
  expert->OnTick();
  EXPECT_EQ(terminal.journal, (std::vector<std::string>{"close failed: 10030, error 4756",
                                                        "close failed: 10030, error 4756"}));
}

}  // namespace
