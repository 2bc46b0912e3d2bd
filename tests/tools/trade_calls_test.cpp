// The checks of each trade call, with the terminal's error codes, on a market that stands still.
#include <gtest/gtest.h>

#include <cmath>

#include "test_market.h"
#include "trade_error_codes.h"

namespace {

struct SendCase {
  const char* name;
  const char* symbol;
  int type;
  double lots, price;
  int slippage;
  double stop_loss, take_profit;
  int expiration;
  int error;     // 0: the order is opened
  double opens;  // at this price
};

void PrintTo(const SendCase& c, std::ostream* out) { *out << c.name; }

class Send : public testing::TestWithParam<SendCase> {};

TEST_P(Send, OpensOrAnswersTheTerminalsError) {
  const SendCase& c = GetParam();
  auto server = TestServer();
  const int ticket = server->OrderSend(c.symbol, c.type, c.lots, c.price, c.slippage, c.stop_loss,
                                       c.take_profit, "hi", 7, c.expiration);
  EXPECT_EQ(server->GetLastError(), c.error);
  if (c.error != kErrNone) {
    EXPECT_EQ(ticket, -1);
    EXPECT_EQ(server->OrdersTotal(), 0);
    return;
  }
  ASSERT_EQ(ticket, kFirstTicket);
  SimOrder o;
  ASSERT_TRUE(server->OrderSelectByTicket(ticket, o));
  EXPECT_EQ(o.symbol, c.symbol);
  EXPECT_EQ(o.type, c.type);
  EXPECT_EQ(o.lots, c.lots);
  EXPECT_EQ(o.open_price, c.opens);
  EXPECT_EQ(o.stop_loss, c.stop_loss);
  EXPECT_EQ(o.take_profit, c.take_profit);
  EXPECT_EQ(o.open_time, kStart);
  EXPECT_EQ(o.comment, "hi");
  EXPECT_EQ(o.magic, 7);
  EXPECT_EQ(o.expiration, c.expiration);
}

// EURUSD: bid 1.10000, ask 1.10020, stops level 10 points.
INSTANTIATE_TEST_SUITE_P(Market, Send, testing::Values(
    SendCase{"buy at the ask", "EURUSD", 0, 0.1, 1.10020, 0, 0, 0, 0, 0, 1.10020},
    SendCase{"sell at the bid", "EURUSD", 1, 0.1, 1.10000, 0, 0, 0, 0, 0, 1.10000},
    SendCase{"a price a hair off the point", "EURUSD", 0, 0.1, 1.1002000000001, 0, 0, 0, 0, 0, 1.10020},
    SendCase{"buy at the bid: requote", "EURUSD", 0, 0.1, 1.10000, 19, 0, 0, 0, kErrRequote, 0},
    SendCase{"buy at the bid within slippage fills at the ask", "EURUSD", 0, 0.1, 1.10000, 20, 0, 0, 0, 0, 1.10020},
    SendCase{"price off the grid", "EURUSD", 0, 0.1, 1.100201, 5, 0, 0, 0, kErrInvalidPrice, 0},
    SendCase{"negative price", "EURUSD", 1, 0.1, -1.1, 5, 0, 0, 0, kErrInvalidPrice, 0},
    SendCase{"no price at all", "EURUSD", 1, 0.1, NAN, 5, 0, 0, 0, kErrInvalidPrice, 0},
    SendCase{"three digits", "USDJPY", 0, 0.1, 150.015, 0, 149.995, 150.020, 0, 0, 150.015},
    SendCase{"not enough money", "EURUSD.m", 0, 10.1, 1.10010, 0, 0, 0, 0, kErrNotEnoughMoney, 0}));

INSTANTIATE_TEST_SUITE_P(Symbols, Send, testing::Values(
    SendCase{"a suffixed symbol", "EURUSD.m", 0, 0.3, 1.10010, 0, 0, 0, 0, 0, 1.10010},
    SendCase{"all the money there is", "EURUSD.m", 0, 10, 1.10010, 0, 0, 0, 0, 0, 1.10010},
    SendCase{"unknown symbol", "XAUUSD", 0, 0.1, 1.1, 0, 0, 0, 0, kErrUnknownSymbol, 0},
    SendCase{"a suffix the broker has not", "EURUSD.x", 0, 0.1, 1.10020, 0, 0, 0, 0, kErrUnknownSymbol, 0},
    SendCase{"market closed", "GBPUSD", 0, 0.1, 1.25020, 0, 0, 0, 0, kErrMarketClosed, 0},
    SendCase{"unknown order type", "EURUSD", 6, 0.1, 1.10020, 0, 0, 0, 0, kErrInvalidTradeParameters, 0}));

INSTANTIATE_TEST_SUITE_P(Volume, Send, testing::Values(
    SendCase{"lots off the step", "EURUSD", 0, 0.015, 1.10020, 0, 0, 0, 0, kErrInvalidTradeVolume, 0},
    SendCase{"lots below the minimum", "EURUSD.m", 0, 0.1, 1.10010, 0, 0, 0, 0, kErrInvalidTradeVolume, 0},
    SendCase{"lots above the maximum", "EURUSD", 0, 5.01, 1.10020, 0, 0, 0, 0, kErrInvalidTradeVolume, 0},
    SendCase{"the maximum", "EURUSD", 0, 5, 1.10020, 0, 0, 0, 0, 0, 1.10020},
    SendCase{"no lots", "EURUSD", 0, 0, 1.10020, 0, 0, 0, 0, kErrInvalidTradeVolume, 0},
    SendCase{"lots beyond any number", "EURUSD", 0, INFINITY, 1.10020, 0, 0, 0, 0, kErrInvalidTradeVolume, 0}));

INSTANTIATE_TEST_SUITE_P(Stops, Send, testing::Values(
    SendCase{"buy: stop loss at the stops level", "EURUSD", 0, 0.1, 1.10020, 0, 1.09990, 1.10010, 0, 0, 1.10020},
    SendCase{"buy: stop loss inside it", "EURUSD", 0, 0.1, 1.10020, 0, 1.09991, 0, 0, kErrInvalidStops, 0},
    SendCase{"buy: stop loss above the bid", "EURUSD", 0, 0.1, 1.10020, 0, 1.10010, 0, 0, kErrInvalidStops, 0},
    SendCase{"buy: take profit inside the level", "EURUSD", 0, 0.1, 1.10020, 0, 0, 1.10009, 0, kErrInvalidStops, 0},
    SendCase{"sell: stop loss at the level above the ask", "EURUSD", 1, 0.1, 1.10000, 0, 1.10030, 1.10010, 0, 0, 1.10000},
    SendCase{"sell: stop loss inside it", "EURUSD", 1, 0.1, 1.10000, 0, 1.10029, 0, 0, kErrInvalidStops, 0},
    SendCase{"sell: take profit above the ask", "EURUSD", 1, 0.1, 1.10000, 0, 0, 1.10030, 0, kErrInvalidStops, 0},
    SendCase{"stop loss off the grid", "EURUSD", 0, 0.1, 1.10020, 0, 1.099001, 0, 0, kErrInvalidStops, 0},
    SendCase{"negative take profit", "EURUSD", 1, 0.1, 1.10000, 0, 0, -1, 0, kErrInvalidStops, 0}));

// Pending prices keep the stops level from the side they watch: buys the ask, sells the bid.
INSTANTIATE_TEST_SUITE_P(Pending, Send, testing::Values(
    SendCase{"buy limit at the level below the ask", "EURUSD", 2, 0.1, 1.10010, 0, 0, 0, 0, 0, 1.10010},
    SendCase{"buy limit inside the level", "EURUSD", 2, 0.1, 1.10011, 0, 0, 0, 0, kErrInvalidStops, 0},
    SendCase{"buy limit above the ask", "EURUSD", 2, 0.1, 1.10030, 0, 0, 0, 0, kErrInvalidStops, 0},
    SendCase{"sell limit at the level above the bid", "EURUSD", 3, 0.1, 1.10010, 0, 0, 0, 0, 0, 1.10010},
    SendCase{"sell limit inside the level", "EURUSD", 3, 0.1, 1.10009, 0, 0, 0, 0, kErrInvalidStops, 0},
    SendCase{"buy stop at the level above the ask", "EURUSD", 4, 0.1, 1.10030, 0, 0, 0, 0, 0, 1.10030},
    SendCase{"buy stop below the ask", "EURUSD", 4, 0.1, 1.10000, 0, 0, 0, 0, kErrInvalidStops, 0},
    SendCase{"sell stop at the level below the bid", "EURUSD", 5, 0.1, 1.09990, 0, 0, 0, 0, 0, 1.09990},
    SendCase{"sell stop inside the level", "EURUSD", 5, 0.1, 1.09991, 0, 0, 0, 0, kErrInvalidStops, 0},
    SendCase{"stops measured from its own price", "EURUSD", 2, 0.1, 1.09900, 0, 1.09890, 1.09910, 0, 0, 1.09900},
    SendCase{"stop loss on the wrong side of its price", "EURUSD", 2, 0.1, 1.09900, 0, 1.09950, 0, 0, kErrInvalidStops, 0},
    SendCase{"pending price off the grid", "EURUSD", 2, 0.1, 1.099001, 0, 0, 0, 0, kErrInvalidPrice, 0},
    SendCase{"an expiration ahead", "EURUSD", 2, 0.1, 1.09900, 0, 0, 0, kStart + 3600, 0, 1.09900},
    SendCase{"an expiration passed", "EURUSD", 2, 0.1, 1.09900, 0, 0, 0, kStart, kErrInvalidTradeParameters, 0}));

// The orders the close, modify and delete tables work on.
//   1001 buy 1 EURUSD at 1.10020, stops 1.09900 / 1.10200
//   1002 buy limit 0.1 EURUSD at 1.09900, stop loss 1.09800
//   1003 buy 1 EURUSD.m, take profit 1.10004: within the freeze level of the bid 1.10000
//   1004 buy 0.3 EURUSD.m
//   1005 buy 0.1 GBPUSD, then its market closes
//   1006 buy limit 0.2 EURUSD.m at 1.10006: within the freeze level of the ask 1.10010
//   1007 buy limit 0.1 GBPUSD at 1.24000, then its market closes
std::unique_ptr<TradeServer> ServerWithOrders() {
  auto server = TestServer();
  server->OrderSend("EURUSD", 0, 1, 1.10020, 0, 1.09900, 1.10200, "", 0, 0);
  server->OrderSend("EURUSD", 2, 0.1, 1.09900, 0, 1.09800, 0, "", 0, 0);
  server->OrderSend("EURUSD.m", 0, 1, 1.10010, 0, 0, 1.10004, "", 0, 0);
  server->OrderSend("EURUSD.m", 0, 0.3, 1.10010, 0, 0, 0, "", 0, 0);
  server->SetTradeAllowed("GBPUSD", true);
  server->OrderSend("GBPUSD", 0, 0.1, 1.25020, 0, 0, 0, "", 0, 0);
  server->OrderSend("EURUSD.m", 2, 0.2, 1.10006, 0, 0, 0, "", 0, 0);
  server->OrderSend("GBPUSD", 2, 0.1, 1.24000, 0, 0, 0, "", 0, 0);
  server->SetTradeAllowed("GBPUSD", false);
  return server;
}

TEST(ServerWithOrders, HasThem) {
  auto server = ServerWithOrders();
  EXPECT_EQ(server->OrdersTotal(), 7);
}

struct CloseCase {
  const char* name;
  int ticket;
  double lots, price;
  int slippage;
  int error;
};

void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.name; }

class Close : public testing::TestWithParam<CloseCase> {};

TEST_P(Close, ClosesOrAnswersTheTerminalsError) {
  const CloseCase& c = GetParam();
  auto server = ServerWithOrders();
  SimOrder before;
  server->OrderSelectByTicket(c.ticket, before);
  EXPECT_EQ(server->OrderClose(c.ticket, c.lots, c.price, c.slippage), c.error == kErrNone);
  EXPECT_EQ(server->GetLastError(), c.error);
  if (c.error != kErrNone) {
    EXPECT_EQ(server->OrdersTotal(), 7);
    EXPECT_EQ(server->OrdersHistoryTotal(), 0);
    return;
  }
  SimOrder closed;
  ASSERT_TRUE(server->OrderSelectByPos(0, kModeHistory, closed));
  EXPECT_EQ(closed.ticket, c.ticket);
  EXPECT_EQ(closed.lots, c.lots);
  EXPECT_EQ(closed.close_price, 1.10000);  // a buy closes at the bid
  EXPECT_EQ(server->OrdersTotal(), c.lots == before.lots ? 6 : 7);
}

INSTANTIATE_TEST_SUITE_P(Calls, Close, testing::Values(
    CloseCase{"all of it", 1001, 1, 1.10000, 0, 0},
    CloseCase{"part of it", 1001, 0.4, 1.10000, 0, 0},
    CloseCase{"at the ask within slippage", 1001, 1, 1.10020, 20, 0},
    CloseCase{"at the ask: requote", 1001, 1, 1.10020, 5, kErrRequote},
    CloseCase{"price off the grid", 1001, 1, 1.100001, 5, kErrInvalidPrice},
    CloseCase{"unknown ticket", 999, 1, 1.10000, 0, kErrInvalidTicket},
    CloseCase{"a pending order", 1002, 0.1, 1.09900, 0, kErrInvalidTicket},
    CloseCase{"more lots than it has", 1001, 1.01, 1.10000, 0, kErrInvalidTradeVolume},
    CloseCase{"lots off the step", 1001, 0.005, 1.10000, 0, kErrInvalidTradeVolume},
    CloseCase{"a rest below the minimum", 1004, 0.2, 1.10000, 0, kErrInvalidTradeVolume},
    CloseCase{"a stop within the freeze level", 1003, 1, 1.10000, 0, kErrModificationDenied},
    CloseCase{"market closed", 1005, 0.1, 1.25000, 0, kErrMarketClosed}));

struct ModifyCase {
  const char* name;
  int ticket;
  double price, stop_loss, take_profit;
  int expiration;
  int error;
};

void PrintTo(const ModifyCase& c, std::ostream* out) { *out << c.name; }

class Modify : public testing::TestWithParam<ModifyCase> {};

TEST_P(Modify, ChangesOrAnswersTheTerminalsError) {
  const ModifyCase& c = GetParam();
  auto server = ServerWithOrders();
  SimOrder before, after;
  server->OrderSelectByTicket(c.ticket, before);
  EXPECT_EQ(server->OrderModify(c.ticket, c.price, c.stop_loss, c.take_profit, c.expiration),
            c.error == kErrNone);
  EXPECT_EQ(server->GetLastError(), c.error);
  if (!server->OrderSelectByTicket(c.ticket, after)) return;
  const bool pending = before.type >= 2;
  const bool changed = c.error == kErrNone;
  EXPECT_EQ(after.stop_loss, changed ? c.stop_loss : before.stop_loss);
  EXPECT_EQ(after.take_profit, changed ? c.take_profit : before.take_profit);
  EXPECT_EQ(after.open_price, changed && pending ? c.price : before.open_price);
  EXPECT_EQ(after.expiration, changed && pending ? c.expiration : before.expiration);
}

INSTANTIATE_TEST_SUITE_P(Market, Modify, testing::Values(
    ModifyCase{"a new stop loss", 1001, 0, 1.09950, 1.10200, 0, 0},
    ModifyCase{"the stop loss removed", 1001, 0, 0, 1.10200, 0, 0},
    ModifyCase{"nothing changed", 1001, 0, 1.09900, 1.10200, 0, kErrNoResult},
    ModifyCase{"price and expiration are not a market order's", 1001, 1.2, 1.09900, 1.10200, kStart + 60, kErrNoResult},
    ModifyCase{"stop loss inside the stops level", 1001, 0, 1.09991, 1.10200, 0, kErrInvalidStops},
    ModifyCase{"take profit off the grid", 1001, 0, 1.09900, 1.102001, 0, kErrInvalidStops},
    ModifyCase{"a stop within the freeze level", 1003, 0, 0, 1.10008, 0, kErrModificationDenied},
    ModifyCase{"market closed", 1005, 0, 1.24000, 0, 0, kErrMarketClosed},
    ModifyCase{"unknown ticket", 4242, 0, 0, 0, 0, kErrInvalidTicket}));

INSTANTIATE_TEST_SUITE_P(Pending, Modify, testing::Values(
    ModifyCase{"a new price", 1002, 1.09950, 1.09800, 0, 0, 0},
    ModifyCase{"a new expiration", 1002, 1.09900, 1.09800, 0, kStart + 3600, 0},
    ModifyCase{"nothing changed", 1002, 1.09900, 1.09800, 0, 0, kErrNoResult},
    ModifyCase{"an expiration passed", 1002, 1.09900, 1.09800, 0, kStart - 1, kErrInvalidTradeParameters},
    ModifyCase{"price inside the stops level", 1002, 1.10011, 1.09800, 0, 0, kErrInvalidStops},
    ModifyCase{"stop loss above its price", 1002, 1.09900, 1.09950, 0, 0, kErrInvalidStops},
    ModifyCase{"price off the grid", 1002, 1.099001, 1.09800, 0, 0, kErrInvalidPrice},
    ModifyCase{"price within the freeze level", 1006, 1.10005, 0, 0, 0, kErrModificationDenied}));

struct DeleteCase {
  const char* name;
  int ticket;
  int error;
};

void PrintTo(const DeleteCase& c, std::ostream* out) { *out << c.name; }

class Delete : public testing::TestWithParam<DeleteCase> {};

TEST_P(Delete, RemovesAPendingOrderOrAnswersTheTerminalsError) {
  const DeleteCase& c = GetParam();
  auto server = ServerWithOrders();
  EXPECT_EQ(server->OrderDelete(c.ticket), c.error == kErrNone);
  EXPECT_EQ(server->GetLastError(), c.error);
  EXPECT_EQ(server->OrdersHistoryTotal(), c.error == kErrNone ? 1 : 0);
  if (c.error != kErrNone) return;
  SimOrder deleted;
  ASSERT_TRUE(server->OrderSelectByPos(0, kModeHistory, deleted));
  EXPECT_EQ(deleted.ticket, c.ticket);
  EXPECT_EQ(deleted.close_time, kStart);
  EXPECT_FALSE(server->OrderDelete(c.ticket));  // once only
  EXPECT_EQ(server->GetLastError(), kErrInvalidTicket);
}

INSTANTIATE_TEST_SUITE_P(Calls, Delete, testing::Values(
    DeleteCase{"a pending order", 1002, 0},
    DeleteCase{"a market order", 1001, kErrInvalidTicket},
    DeleteCase{"unknown ticket", 4242, kErrInvalidTicket},
    DeleteCase{"within the freeze level", 1006, kErrModificationDenied},
    DeleteCase{"market closed", 1007, kErrMarketClosed}));

struct InfoCase {
  const char* symbol;
  int mode;
  double value;
  int error;
};

void PrintTo(const InfoCase& c, std::ostream* out) { *out << c.symbol << " mode " << c.mode; }

class Info : public testing::TestWithParam<InfoCase> {};

TEST_P(Info, AnswersAsMarketInfo) {
  const InfoCase& c = GetParam();
  auto server = TestServer();
  EXPECT_EQ(server->MarketInfo(c.symbol, c.mode), c.value);
  EXPECT_EQ(server->GetLastError(), c.error);
}

INSTANTIATE_TEST_SUITE_P(Modes, Info, testing::Values(
    InfoCase{"EURUSD.m", kModeBid, 1.10000, 0},
    InfoCase{"EURUSD.m", kModeAsk, 1.10010, 0},
    InfoCase{"EURUSD.m", kModePoint, 0.00001, 0},
    InfoCase{"EURUSD.m", kModeDigits, 5, 0},
    InfoCase{"EURUSD.m", kModeSpread, 10, 0},
    InfoCase{"EURUSD", kModeStopLevel, 10, 0},
    InfoCase{"EURUSD.m", kModeLotSize, 100000, 0},
    InfoCase{"EURUSD.m", kModeTradeAllowed, 1, 0},
    InfoCase{"GBPUSD", kModeTradeAllowed, 0, 0},
    InfoCase{"EURUSD.m", kModeMinLot, 0.2, 0},
    InfoCase{"EURUSD.m", kModeLotStep, 0.1, 0},
    InfoCase{"EURUSD.m", kModeMaxLot, 50, 0},
    InfoCase{"EURUSD.m", kModeFreezeLevel, 5, 0},
    InfoCase{"USDJPY", kModeAsk, 150.015, 0},
    InfoCase{"EURUSD.x", kModeBid, 0, kErrUnknownSymbol},
    InfoCase{"EURUSD", 99, 0, kErrInvalidFunctionParameter}));

}  // namespace
