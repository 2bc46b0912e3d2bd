// The simulated MT5 account: deals on hedging and netting accounts, the server's refusals,
// pending orders and stops as the market moves, and tickets beyond 32 bits.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "mt5_trade_server.h"

namespace {

constexpr uint64_t kFirst = 5'000'000'000;  // beyond 32 bits, so that narrowing shows
constexpr int64_t kStart = 1252972800;

// A still market:
//   EURUSD  5 digits, bid 1.10000 ask 1.10020, lots 0.01..50 by 0.01, stops level 10,
//           freeze level 5, FOK and IOC
//   USDJPY  3 digits, bid 150.000 ask 150.015, IOC only
//   GBPUSD  its market closed
std::unique_ptr<Mt5TradeServer> Account(Mt5MarginMode mode) {
  Mt5AccountSetup setup;
  setup.margin_mode = mode;
  setup.first_ticket = kFirst;
  setup.start_time = kStart;
  auto server = std::make_unique<Mt5TradeServer>(setup);
  server->AddSymbol({"EURUSD", 5, 0.01, 50, 0.01, 10, 5, 100000}, true, true, 1.10000, 20, 0);
  server->AddSymbol({"USDJPY", 3, 0.01, 50, 0.01, 0, 0, 100000}, false, true, 150.000, 15, 0);
  server->AddSymbol({"GBPUSD", 5, 0.01, 50, 0.01, 0, 0, 100000}, true, true, 1.25000, 20, 0);
  server->SetTradeAllowed("GBPUSD", false);
  return server;
}

Mt5TradeRequest Market(Mt5OrderType type, double volume, uint64_t position = 0) {
  Mt5TradeRequest r;
  r.action = Mt5Action::kDeal;
  r.symbol = "EURUSD";
  r.type = type;
  r.volume = volume;
  r.position = position;
  r.magic = 77;
  return r;
}

Mt5TradeRequest Pending(Mt5OrderType type, double price) {
  Mt5TradeRequest r = Market(type, 0.1);
  r.action = Mt5Action::kPending;
  r.price = price;
  return r;
}

uint32_t Send(Mt5TradeServer& server, const Mt5TradeRequest& request) {
  Mt5TradeResult result;
  server.OrderSend(request, result);
  return result.retcode;
}

TEST(Mt5Hedging, EachDealOpensAPositionOfItsOwn) {
  auto server = Account(Mt5MarginMode::kHedging);
  Mt5TradeResult first, second;
  ASSERT_TRUE(server->OrderSend(Market(Mt5OrderType::kBuy, 0.1), first));
  ASSERT_TRUE(server->OrderSend(Market(Mt5OrderType::kBuy, 0.2), second));
  ASSERT_EQ(server->PositionsTotal(), 2);
  Mt5Position p;
  ASSERT_TRUE(server->PositionByTicket(second.order, p));
  EXPECT_EQ(p.identifier, second.order);
  EXPECT_EQ(p.volume, 0.2);
  const std::vector<Mt5Deal> deals = server->HistoryDeals(kStart, kStart);
  ASSERT_EQ(deals.size(), 2u);
  for (const Mt5Deal& d : deals) EXPECT_EQ(d.entry, Mt5DealEntry::kIn);
}

TEST(Mt5Hedging, PartialCloseKeepsTicketAndIdentifierAndWritesAnOutDeal) {
  auto server = Account(Mt5MarginMode::kHedging);
  Mt5TradeResult open, close;
  ASSERT_TRUE(server->OrderSend(Market(Mt5OrderType::kBuy, 1), open));
  ASSERT_TRUE(server->OrderSend(Market(Mt5OrderType::kSell, 0.3, open.order), close));
  Mt5Position rest;
  ASSERT_TRUE(server->PositionByIndex(0, rest));
  EXPECT_EQ(rest.ticket, open.order);
  EXPECT_EQ(rest.identifier, open.order);
  EXPECT_EQ(rest.volume, 0.7);
  const std::vector<Mt5Deal> deals = server->HistoryDeals(kStart, kStart);
  ASSERT_EQ(deals.size(), 2u);
  EXPECT_EQ(deals[1].ticket, close.deal);
  EXPECT_EQ(deals[1].entry, Mt5DealEntry::kOut);
  EXPECT_EQ(deals[1].position_id, open.order);
  EXPECT_EQ(deals[1].volume, 0.3);
  EXPECT_DOUBLE_EQ(server->AccountBalance(), 10000 - 6);  // the spread on 0.3 lots
  EXPECT_EQ(Send(*server, Market(Mt5OrderType::kSell, 0.8, open.order)), kRetcodeInvalidVolume);
}

struct NettingStep {
  Mt5OrderType type;
  double volume;
  Mt5DealEntry entry;
  double held;  // the position's volume after the deal; 0: none
  bool buy;
};

TEST(Mt5Netting, OnePositionAddsReducesReversesAndClosesUnderOneIdentifier) {
  auto server = Account(Mt5MarginMode::kNetting);
  const NettingStep steps[] = {
      {Mt5OrderType::kBuy, 0.1, Mt5DealEntry::kIn, 0.1, true},
      {Mt5OrderType::kBuy, 0.2, Mt5DealEntry::kIn, 0.3, true},
      {Mt5OrderType::kSell, 0.1, Mt5DealEntry::kOut, 0.2, true},
      {Mt5OrderType::kSell, 0.5, Mt5DealEntry::kInOut, 0.3, false},
      {Mt5OrderType::kBuy, 0.3, Mt5DealEntry::kOut, 0, false},
  };
  uint64_t ticket = 0;
  for (const NettingStep& step : steps) {
    Mt5TradeResult result;
    ASSERT_TRUE(server->OrderSend(Market(step.type, step.volume), result)) << step.volume;
    const Mt5Deal deal = server->HistoryDeals(kStart, kStart).back();
    EXPECT_EQ(deal.entry, step.entry) << step.volume;
    EXPECT_EQ(deal.position_id, kFirst) << step.volume;
    if (step.entry == Mt5DealEntry::kIn && ticket == 0) ticket = result.order;
    if (step.entry == Mt5DealEntry::kInOut) ticket = result.order;  // the reversing order's
    ASSERT_EQ(server->PositionsTotal(), step.held == 0 ? 0 : 1) << step.volume;
    if (step.held == 0) continue;
    Mt5Position p;
    ASSERT_TRUE(server->PositionByIndex(0, p));
    EXPECT_EQ(p.ticket, ticket) << step.volume;
    EXPECT_EQ(p.identifier, kFirst) << step.volume;
    EXPECT_DOUBLE_EQ(p.volume, step.held) << step.volume;
    EXPECT_EQ(p.buy, step.buy) << step.volume;
  }
}

struct Refusal {
  const char* name;
  Mt5TradeRequest request;
  uint32_t retcode;
};

Mt5TradeRequest With(Mt5TradeRequest r, void (*change)(Mt5TradeRequest&)) {
  change(r);
  return r;
}

TEST(Mt5OrderSend, AnswersEachRefusalWithItsRetcode) {
  const Mt5OrderType buy = Mt5OrderType::kBuy;
  const Refusal refusals[] = {
      {"volume below the minimum", Market(buy, 0.001), kRetcodeInvalidVolume},
      {"volume above the maximum", Market(buy, 51), kRetcodeInvalidVolume},
      {"volume off the step", Market(buy, 0.015), kRetcodeInvalidVolume},
      {"stop loss inside the stops level",
       With(Market(buy, 0.1), [](Mt5TradeRequest& r) { r.sl = 1.09991; }), kRetcodeInvalidStops},
      {"buy limit inside the stops level", Pending(Mt5OrderType::kBuyLimit, 1.10011),
       kRetcodeInvalidPrice},
      {"expiration passed",
       With(Pending(Mt5OrderType::kBuyLimit, 1.09900), [](Mt5TradeRequest& r) { r.expiration = kStart; }),
       kRetcodeInvalidExpiration},
      {"market closed", With(Market(buy, 0.1), [](Mt5TradeRequest& r) { r.symbol = "GBPUSD"; }),
       kRetcodeMarketClosed},
      {"not enough free margin", Market(buy, 11), kRetcodeNoMoney},
      {"unknown position", Market(Mt5OrderType::kSell, 0.1, kFirst + 99), kRetcodeInvalid},
      {"unknown order", With(Market(buy, 0), [](Mt5TradeRequest& r) {
         r.action = Mt5Action::kRemove;
         r.order = kFirst + 99;
       }), kRetcodeInvalid},
      {"price off by more than the deviation",
       With(Market(buy, 0.1), [](Mt5TradeRequest& r) { r.price = 1.10031; r.deviation = 10; }),
       kRetcodeRequote},
      {"price off by the deviation",
       With(Market(buy, 0.1), [](Mt5TradeRequest& r) { r.price = 1.10030; r.deviation = 10; }),
       kRetcodeDone},
  };
  for (const Refusal& c : refusals) {
    auto server = Account(Mt5MarginMode::kHedging);
    EXPECT_EQ(Send(*server, c.request), c.retcode) << c.name;
  }
}

struct FillCase {
  Mt5TradeRequest request;
  Mt5Filling filling;
  uint32_t retcode;
};

TEST(Mt5OrderSend, TakesOnlyTheFillModesTheSymbolAllows) {
  const Mt5TradeRequest jpy = With(Market(Mt5OrderType::kBuy, 0.1), [](Mt5TradeRequest& r) { r.symbol = "USDJPY"; });
  const FillCase cases[] = {
      {jpy, kFillingFok, kRetcodeInvalidFill},
      {jpy, kFillingIoc, kRetcodeDone},
      {Market(Mt5OrderType::kBuy, 0.1), kFillingReturn, kRetcodeInvalidFill},
      {Pending(Mt5OrderType::kBuyLimit, 1.09900), kFillingReturn, kRetcodePlaced},
      {Pending(Mt5OrderType::kBuyStop, 1.10100), kFillingReturn, kRetcodeInvalidFill},
  };
  for (const FillCase& c : cases) {
    auto server = Account(Mt5MarginMode::kHedging);
    Mt5TradeRequest r = c.request;
    r.type_filling = c.filling;
    EXPECT_EQ(Send(*server, r), c.retcode) << r.symbol << " filling " << c.filling;
  }
}

TEST(Mt5OrderSend, NothingNearTheMarketWithinTheFreezeLevelChanges) {
  auto server = Account(Mt5MarginMode::kHedging);
  Mt5TradeResult open, placed;
  Mt5TradeRequest buy = Market(Mt5OrderType::kBuy, 0.1);
  buy.sl = 1.09990;
  ASSERT_TRUE(server->OrderSend(buy, open));
  ASSERT_TRUE(server->OrderSend(Pending(Mt5OrderType::kSellStop, 1.09900), placed));
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09994));  // 4 points above the stop loss
  Mt5TradeRequest sltp;
  sltp.action = Mt5Action::kSltp;
  sltp.position = open.order;
  sltp.sl = 1.09900;
  EXPECT_EQ(Send(*server, sltp), kRetcodeFrozen);
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09904));  // the stop loss was hit on the way
  Mt5TradeRequest remove;
  remove.action = Mt5Action::kRemove;
  remove.order = placed.order;
  EXPECT_EQ(Send(*server, remove), kRetcodeFrozen);
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09905));
  EXPECT_EQ(Send(*server, remove), kRetcodeDone);
}

TEST(Mt5Pending, TriggersIntoAPositionUnderItsTicket) {
  auto server = Account(Mt5MarginMode::kHedging);
  Mt5TradeResult placed;
  ASSERT_TRUE(server->OrderSend(Pending(Mt5OrderType::kBuyLimit, 1.09900), placed));
  server->Advance(30000);
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09881));
  EXPECT_EQ(server->OrdersTotal(), 1);
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09880));  // the ask falls to the limit
  EXPECT_EQ(server->OrdersTotal(), 0);
  Mt5Position p;
  ASSERT_TRUE(server->PositionByTicket(placed.order, p));
  EXPECT_EQ(p.identifier, placed.order);
  EXPECT_EQ(p.price_open, 1.09900);
  EXPECT_EQ(p.magic, 77u);
  EXPECT_EQ(p.time, kStart + 30);
  const Mt5Deal deal = server->HistoryDeals(kStart, kStart + 30).back();
  EXPECT_EQ(deal.order, placed.order);
  EXPECT_EQ(deal.entry, Mt5DealEntry::kIn);
}

TEST(Mt5Pending, ModifyMovesTheOrderAndSaysWhenNothingChanges) {
  auto server = Account(Mt5MarginMode::kHedging);
  Mt5TradeResult placed;
  ASSERT_TRUE(server->OrderSend(Pending(Mt5OrderType::kBuyLimit, 1.09900), placed));
  Mt5TradeRequest modify;
  modify.action = Mt5Action::kModify;
  modify.order = placed.order;
  modify.price = 1.09800;
  modify.sl = 1.09700;
  EXPECT_EQ(Send(*server, modify), kRetcodeDone);
  EXPECT_EQ(Send(*server, modify), kRetcodeNoChanges);
  Mt5Order o;
  ASSERT_TRUE(server->OrderByIndex(0, o));
  EXPECT_EQ(o.ticket, placed.order);
  EXPECT_EQ(o.price_open, 1.09800);
  EXPECT_EQ(o.sl, 1.09700);
  modify.price = 1.10011;
  EXPECT_EQ(Send(*server, modify), kRetcodeInvalidPrice);
}

TEST(Mt5Pending, ExpiresAtItsTimeWithoutADeal) {
  auto server = Account(Mt5MarginMode::kHedging);
  Mt5TradeRequest limit = Pending(Mt5OrderType::kBuyLimit, 1.09900);
  limit.expiration = kStart + 60;
  ASSERT_EQ(Send(*server, limit), kRetcodePlaced);
  server->Advance(59999);
  EXPECT_EQ(server->OrdersTotal(), 1);
  server->Advance(1);
  EXPECT_EQ(server->OrdersTotal(), 0);
  EXPECT_EQ(server->PositionsTotal(), 0);
  EXPECT_TRUE(server->HistoryDeals(kStart, kStart + 60).empty());
}

// Readers of the whole account rewrite it only when this count moved: every accepted request
// and every reaction of the market counts, a refusal, a quote or the clock alone does not.
TEST(Mt5Changes, CountAcceptedRequestsAndTheMarketsFillsAndExpiries) {
  auto server = Account(Mt5MarginMode::kHedging);
  EXPECT_EQ(server->Changes(), 0u);
  EXPECT_EQ(Send(*server, Market(Mt5OrderType::kBuy, 0.001)), kRetcodeInvalidVolume);
  server->Advance(1000);
  EXPECT_EQ(server->Changes(), 0u) << "a refusal and the clock change nothing";
  Mt5TradeRequest limit = Pending(Mt5OrderType::kBuyLimit, 1.09900);
  limit.expiration = kStart + 60;
  ASSERT_EQ(Send(*server, limit), kRetcodePlaced);
  ASSERT_EQ(Send(*server, Pending(Mt5OrderType::kBuyLimit, 1.09800)), kRetcodePlaced);
  EXPECT_EQ(server->Changes(), 2u);
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09950));
  EXPECT_EQ(server->Changes(), 2u) << "a quote that triggers nothing";
  server->Advance(60000);
  EXPECT_EQ(server->Changes(), 3u) << "the first order expired";
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09780));
  EXPECT_EQ(server->Changes(), 4u) << "the second order triggered";
}

TEST(Mt5Stops, StopLossHitClosesAtItsPriceWithAnOutDeal) {
  auto server = Account(Mt5MarginMode::kHedging);
  Mt5TradeResult open;
  Mt5TradeRequest buy = Market(Mt5OrderType::kBuy, 0.1);
  buy.sl = 1.09900;
  ASSERT_TRUE(server->OrderSend(buy, open));
  server->Advance(60000);
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09895));
  EXPECT_EQ(server->PositionsTotal(), 0);
  const std::vector<Mt5Deal> deals = server->HistoryDeals(kStart + 60, kStart + 60);
  ASSERT_EQ(deals.size(), 1u);
  EXPECT_EQ(deals[0].entry, Mt5DealEntry::kOut);
  EXPECT_EQ(deals[0].reason, Mt5DealReason::kStopLoss);
  EXPECT_EQ(deals[0].position_id, open.order);
  EXPECT_EQ(deals[0].price, 1.09900);
  EXPECT_DOUBLE_EQ(server->AccountBalance(), 10000 - 12);
}

// In the history by the time they were done: a deal's market order, a pending order removed,
// triggered or expired, and the server's order that closed a position at its stop.
TEST(Mt5History, FinishedOrdersKeepTheirStateAndTheTimeTheyWereDone) {
  auto server = Account(Mt5MarginMode::kHedging);
  Mt5TradeRequest buy = Market(Mt5OrderType::kBuy, 0.1);
  buy.sl = 1.09900;
  Mt5TradeResult market, removed, triggered, expiring;
  ASSERT_TRUE(server->OrderSend(buy, market));
  ASSERT_TRUE(server->OrderSend(Pending(Mt5OrderType::kBuyLimit, 1.09800), removed));
  ASSERT_TRUE(server->OrderSend(Pending(Mt5OrderType::kBuyLimit, 1.09950), triggered));
  Mt5TradeRequest limit = Pending(Mt5OrderType::kBuyLimit, 1.09700);
  limit.expiration = kStart + 60;
  ASSERT_TRUE(server->OrderSend(limit, expiring));
  server->Advance(10000);
  Mt5TradeRequest remove;
  remove.action = Mt5Action::kRemove;
  remove.order = removed.order;
  ASSERT_EQ(Send(*server, remove), kRetcodeDone);
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09930));  // the ask falls to the second limit
  server->Advance(50000);
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09895));  // the market buy's stop loss

  struct Row {
    uint64_t ticket;
    Mt5OrderType type;
    Mt5OrderState state;
    int64_t done;
  };
  std::vector<Row> rows;
  for (const Mt5Order& o : server->HistoryOrders(kStart, kStart + 60)) rows.push_back({o.ticket, o.type, o.state, o.time_done});
  ASSERT_EQ(rows.size(), 5u);
  const Row expected[] = {{market.order, Mt5OrderType::kBuy, Mt5OrderState::kFilled, kStart},
                          {removed.order, Mt5OrderType::kBuyLimit, Mt5OrderState::kCanceled, kStart + 10},
                          {triggered.order, Mt5OrderType::kBuyLimit, Mt5OrderState::kFilled, kStart + 10},
                          {expiring.order, Mt5OrderType::kBuyLimit, Mt5OrderState::kExpired, kStart + 60},
                          {0, Mt5OrderType::kSell, Mt5OrderState::kFilled, kStart + 60}};
  for (size_t i = 0; i < rows.size(); i++) {
    if (expected[i].ticket != 0) EXPECT_EQ(rows[i].ticket, expected[i].ticket) << i;
    EXPECT_EQ(rows[i].type, expected[i].type) << i;
    EXPECT_EQ(rows[i].state, expected[i].state) << i;
    EXPECT_EQ(rows[i].done, expected[i].done) << i;
  }
  EXPECT_EQ(server->HistoryDeals(kStart + 60, kStart + 60).back().order, rows[4].ticket);
  EXPECT_EQ(server->HistoryOrders(kStart + 11, kStart + 59).size(), 0u);
  EXPECT_EQ(server->OrdersTotal(), 0);
}

TEST(Mt5Netting, TakeProfitSetBySymbolIsHit) {
  auto server = Account(Mt5MarginMode::kNetting);
  ASSERT_EQ(Send(*server, Market(Mt5OrderType::kSell, 0.1)), kRetcodeDone);
  Mt5TradeRequest sltp;
  sltp.action = Mt5Action::kSltp;
  sltp.symbol = "EURUSD";
  sltp.tp = 1.09900;
  ASSERT_EQ(Send(*server, sltp), kRetcodeDone);
  ASSERT_TRUE(server->SetBid("EURUSD", 1.09880));  // the ask falls to the take profit
  EXPECT_EQ(server->PositionsTotal(), 0);
  const Mt5Deal deal = server->HistoryDeals(kStart, kStart).back();
  EXPECT_EQ(deal.reason, Mt5DealReason::kTakeProfit);
  EXPECT_EQ(deal.entry, Mt5DealEntry::kOut);
  EXPECT_TRUE(deal.buy);
  EXPECT_DOUBLE_EQ(server->AccountBalance(), 10000 + 10);
}

TEST(Mt5Tickets, BeyondThirtyTwoBitsFindOnlyTheirOwnPosition) {
  auto server = Account(Mt5MarginMode::kHedging);
  Mt5TradeResult open;
  ASSERT_TRUE(server->OrderSend(Market(Mt5OrderType::kBuy, 0.1), open));
  ASSERT_GT(open.order, uint64_t{0xffffffff});
  Mt5Position p;
  EXPECT_FALSE(server->PositionByTicket(open.order & 0xffffffff, p));
  EXPECT_EQ(Send(*server, Market(Mt5OrderType::kSell, 0.1, open.order & 0xffffffff)), kRetcodeInvalid);
  EXPECT_EQ(Send(*server, Market(Mt5OrderType::kSell, 0.1, open.order)), kRetcodeDone);
  EXPECT_EQ(server->PositionsTotal(), 0);
}

}  // namespace
