// The MT5 terminal over the simulated MT5 account: made from the simulator's account options,
// OrderSend in MQL5's terms (and what the account does not take), positions, history orders
// and deals as MQL5 numbers them.
#include <gtest/gtest.h>

#include "account_options.h"
#include "mt5_sim_terminal.h"

namespace {

using namespace mql::builtin5;

void* NoLibrary(const std::string&, const std::string&, std::string&) { return nullptr; }

constexpr int64_t kStart = 1252972800;

struct Mt5Terminal : testing::Test {
  Mt5TradeServer server{Mt5AccountSetup{}};
  Mt5SimTerminal terminal{server, NoLibrary, ""};
  Mt5Terminal() { server.AddSymbol({"EURUSD", 5, 0.01, 50, 0.01, 10, 0, 100000}, false, true, 1.10000, 20, 0); }

  MqlTradeRequest Deal(ENUM_ORDER_TYPE type) {
    MqlTradeRequest r{};
    r.action = TRADE_ACTION_DEAL, r.type = type, r.type_filling = ORDER_FILLING_IOC;
    r.symbol = mql::string::FromUtf8("EURUSD"), r.volume = 0.1, r.magic = 9;
    return r;
  }
};

TEST(Mt5TerminalOptions, MadeFromTheAccountOptionsWithTheirMarginModeAndFills) {
  Mt5AccountSetup setup;
  std::vector<OfferedSymbol> offer;
  std::string error;
  ASSERT_TRUE(ParseMarginMode("netting", setup.margin_mode, error));
  ASSERT_TRUE(ParseSymbolOffer("suffix=.m;fill=ioc", offer, error));
  Mt5TradeServer server(setup);
  ASSERT_TRUE(OfferSymbols(server, offer));
  Mt5SimTerminal terminal(server, NoLibrary, "");
  mql::SymbolFacts facts;
  ASSERT_TRUE(terminal.SymbolInfo("EURUSD.m", facts));
  EXPECT_EQ(facts.filling_mode, SYMBOL_FILLING_IOC);
  EXPECT_EQ(terminal.MarginMode(), ACCOUNT_MARGIN_MODE_RETAIL_NETTING);

  ASSERT_TRUE(ParseSymbolOffer("", offer, error));
  ASSERT_TRUE(OfferSymbols(server, offer));
  ASSERT_TRUE(terminal.SymbolInfo("EURUSD", facts));
  EXPECT_EQ(facts.filling_mode, SYMBOL_FILLING_FOK | SYMBOL_FILLING_IOC);
  EXPECT_FALSE(ParseMarginMode("cross", setup.margin_mode, error));
  EXPECT_FALSE(ParseSymbolOffer("fill=return", offer, error));
}

TEST_F(Mt5Terminal, OrderSendAnswersInMql5TermsAndRefusesWhatTheAccountDoesNotTake) {
  MqlTradeResult result;
  ASSERT_TRUE(terminal.OrderSend(Deal(ORDER_TYPE_BUY), result));
  EXPECT_EQ(result.retcode, TRADE_RETCODE_DONE);
  EXPECT_NE(result.deal, 0u);
  EXPECT_DOUBLE_EQ(result.price, 1.10020);

  const struct {
    const char* what;
    void (*change)(MqlTradeRequest&);
    mql::uint retcode;
  } refusals[] = {
      {"close by", [](MqlTradeRequest& r) { r.action = TRADE_ACTION_CLOSE_BY; }, TRADE_RETCODE_INVALID},
      {"stop limit", [](MqlTradeRequest& r) { r.type = ORDER_TYPE_BUY_STOP_LIMIT; }, TRADE_RETCODE_INVALID},
      {"a fill the symbol lacks", [](MqlTradeRequest& r) { r.type_filling = ORDER_FILLING_FOK; },
       TRADE_RETCODE_INVALID_FILL},
      {"day orders", [](MqlTradeRequest& r) { r.type_time = ORDER_TIME_DAY; }, TRADE_RETCODE_INVALID_EXPIRATION},
      {"a time without its expiration", [](MqlTradeRequest& r) { r.type_time = ORDER_TIME_SPECIFIED; },
       TRADE_RETCODE_INVALID_EXPIRATION},
  };
  for (const auto& refusal : refusals) {
    MqlTradeRequest request = Deal(ORDER_TYPE_BUY);
    refusal.change(request);
    EXPECT_FALSE(terminal.OrderSend(request, result)) << refusal.what;
    EXPECT_EQ(result.retcode, refusal.retcode) << refusal.what;
    EXPECT_EQ(result.deal, 0u) << refusal.what;
  }

  MqlTradeRequest off = Deal(ORDER_TYPE_SELL);
  off.price = 1.09990;  // ten points off the bid, no deviation allowed
  EXPECT_FALSE(terminal.OrderSend(off, result));
  EXPECT_EQ(result.retcode, TRADE_RETCODE_REQUOTE);
  EXPECT_DOUBLE_EQ(result.bid, 1.10000);
  EXPECT_DOUBLE_EQ(result.ask, 1.10020);
}

TEST_F(Mt5Terminal, PositionsHistoryOrdersAndDealsReadAsMql5NumbersThem) {
  MqlTradeResult bought, placed, removed;
  ASSERT_TRUE(terminal.OrderSend(Deal(ORDER_TYPE_SELL), bought));
  MqlTradeRequest pending = Deal(ORDER_TYPE_BUY_LIMIT);
  pending.action = TRADE_ACTION_PENDING;
  pending.type_filling = ORDER_FILLING_RETURN;
  pending.price = 1.09000;
  pending.type_time = ORDER_TIME_SPECIFIED;
  pending.expiration = kStart + 3600;
  ASSERT_TRUE(terminal.OrderSend(pending, placed));
  ASSERT_EQ(terminal.Orders().size(), 1u);
  EXPECT_EQ(terminal.Orders()[0].state, ORDER_STATE_PLACED);
  server.Advance(5000);
  MqlTradeRequest remove{};
  remove.action = TRADE_ACTION_REMOVE;
  remove.order = placed.order;
  ASSERT_TRUE(terminal.OrderSend(remove, removed));

  ASSERT_EQ(terminal.Positions().size(), 1u);
  EXPECT_EQ(terminal.Positions()[0].type, POSITION_TYPE_SELL);
  const std::vector<mql::OrderInfo> history = terminal.HistoryOrders(kStart, kStart + 5);
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0].type, ORDER_TYPE_SELL);
  EXPECT_EQ(history[0].state, ORDER_STATE_FILLED);
  EXPECT_DOUBLE_EQ(history[0].volume_initial, 0.1);
  EXPECT_DOUBLE_EQ(history[0].volume_current, 0);
  EXPECT_EQ(history[1].ticket, placed.order);
  EXPECT_EQ(history[1].type, ORDER_TYPE_BUY_LIMIT);
  EXPECT_EQ(history[1].state, ORDER_STATE_CANCELED);
  EXPECT_EQ(history[1].type_time, ORDER_TIME_SPECIFIED);
  EXPECT_EQ(history[1].time_expiration, kStart + 3600);
  EXPECT_EQ(history[1].time_done, kStart + 5);
  EXPECT_EQ(terminal.HistoryOrders(kStart + 1, kStart + 5).size(), 1u);

  const std::vector<mql::DealInfo> deals = terminal.HistoryDeals(kStart, kStart);
  ASSERT_EQ(deals.size(), 1u);
  EXPECT_EQ(deals[0].type, DEAL_TYPE_SELL);
  EXPECT_EQ(deals[0].entry, DEAL_ENTRY_IN);
  EXPECT_EQ(deals[0].reason, DEAL_REASON_EXPERT);
  EXPECT_EQ(deals[0].order, bought.order);
}

}  // namespace
