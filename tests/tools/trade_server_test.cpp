// What the account does by itself as the market and the clock move, and what it does under
// injected failures and a busy trade context.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "test_market.h"
#include "trade_error_codes.h"

namespace {

struct Held {
  int ticket;
  double lots;
  std::string comment;
};

// Closing part of an order again and again: every remainder gets the next ticket and keeps
// what the original had but its comment.
TEST(PartialClose, ChainsTicketsThroughComments) {
  auto server = TestServer();
  ASSERT_EQ(server->OrderSend("EURUSD", 0, 1, 1.10020, 0, 1.09900, 1.10200, "mine", 42, 0), 1001);
  struct Step {
    int ticket;
    double lots;
  };
  const Step closes[] = {{1001, 0.3}, {1002, 0.2}, {1003, 0.5}};
  for (const Step& step : closes) {
    server->Advance(60000);
    ASSERT_TRUE(server->OrderClose(step.ticket, step.lots, 1.10000, 0)) << step.ticket;
  }
  const Held history[] = {{1001, 0.3, "to #1002"}, {1002, 0.2, "to #1003"}, {1003, 0.5, "from #1002"}};
  ASSERT_EQ(server->OrdersHistoryTotal(), 3);
  EXPECT_EQ(server->OrdersTotal(), 0);
  for (int i = 0; i < 3; i++) {
    SimOrder o;
    ASSERT_TRUE(server->OrderSelectByPos(i, kModeHistory, o));
    EXPECT_EQ(o.ticket, history[i].ticket);
    EXPECT_EQ(o.lots, history[i].lots) << o.ticket;
    EXPECT_EQ(o.comment, history[i].comment) << o.ticket;
    EXPECT_EQ(o.open_time, kStart) << o.ticket;
    EXPECT_EQ(o.open_price, 1.10020) << o.ticket;
    EXPECT_EQ(o.magic, 42) << o.ticket;
    EXPECT_EQ(o.stop_loss, 1.09900) << o.ticket;
    EXPECT_EQ(o.take_profit, 1.10200) << o.ticket;
    EXPECT_EQ(o.close_time, kStart + 60 * (i + 1)) << o.ticket;
  }
  // 0.0002 lost on each of the 1.0 lots
  EXPECT_DOUBLE_EQ(server->AccountBalance(), 10000 - 20);
}

TEST(PartialClose, RemainderIsOpenUnderTheNewTicket) {
  auto server = TestServer();
  server->OrderSend("EURUSD", 1, 0.5, 1.10000, 0, 0, 0, "mine", 3, 0);
  ASSERT_TRUE(server->OrderClose(1001, 0.1, 1.10020, 0));
  SimOrder rest;
  ASSERT_TRUE(server->OrderSelectByPos(0, kModeTrades, rest));
  EXPECT_EQ(rest.ticket, 1002);
  EXPECT_EQ(rest.type, 1);
  EXPECT_EQ(rest.lots, 0.4);
  EXPECT_EQ(rest.comment, "from #1001");
  EXPECT_EQ(rest.close_time, 0);
  EXPECT_EQ(server->OrderSend("EURUSD", 1, 0.5, 1.10000, 0, 0, 0, "", 0, 0), 1003);
}

struct TriggerCase {
  int type;
  double price;
  double bid;  // the market moves here (the ask is 20 points above)
  bool triggers;
};

void PrintTo(const TriggerCase& c, std::ostream* out) {
  *out << "type " << c.type << " at " << c.price << ", bid " << c.bid;
}

class Trigger : public testing::TestWithParam<TriggerCase> {};

TEST_P(Trigger, PendingBecomesAMarketOrderUnderItsTicket) {
  const TriggerCase& c = GetParam();
  auto server = TestServer();
  ASSERT_EQ(server->OrderSend("EURUSD", c.type, 0.1, c.price, 0, 0, 0, "p", 5, kStart + 3600), 1001);
  server->Advance(30000);
  ASSERT_TRUE(server->SetBid("EURUSD", c.bid));
  SimOrder o;
  ASSERT_TRUE(server->OrderSelectByPos(0, kModeTrades, o));
  EXPECT_EQ(o.ticket, 1001);
  EXPECT_EQ(o.type, c.triggers ? c.type % 2 : c.type);
  EXPECT_EQ(o.open_time, c.triggers ? kStart + 30 : kStart);
  EXPECT_EQ(o.open_price, c.price);
  EXPECT_EQ(o.magic, 5);
  EXPECT_EQ(server->OrdersHistoryTotal(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sides, Trigger, testing::Values(
    TriggerCase{2, 1.09900, 1.09880, true},    // buy limit: the ask falls to it
    TriggerCase{2, 1.09900, 1.09881, false},
    TriggerCase{3, 1.10100, 1.10100, true},    // sell limit: the bid rises to it
    TriggerCase{3, 1.10100, 1.10099, false},
    TriggerCase{4, 1.10100, 1.10080, true},    // buy stop: the ask rises to it
    TriggerCase{4, 1.10100, 1.10079, false},
    TriggerCase{5, 1.09900, 1.09900, true},    // sell stop: the bid falls to it
    TriggerCase{5, 1.09900, 1.09901, false}));

struct ExpiryCase {
  int advance_ms;
  bool expired;
};

void PrintTo(const ExpiryCase& c, std::ostream* out) { *out << c.advance_ms << " ms"; }

class Expiry : public testing::TestWithParam<ExpiryCase> {};

TEST_P(Expiry, DeletesThePendingOrderAtItsTime) {
  const ExpiryCase& c = GetParam();
  auto server = TestServer();
  ASSERT_EQ(server->OrderSend("EURUSD", 2, 0.1, 1.09900, 0, 0, 0, "", 0, kStart + 60), 1001);
  server->Advance(c.advance_ms);
  EXPECT_EQ(server->OrdersTotal(), c.expired ? 0 : 1);
  SimOrder o;
  ASSERT_TRUE(server->OrderSelectByTicket(1001, o));
  EXPECT_EQ(o.close_time, c.expired ? kStart + 60 : 0);
  EXPECT_EQ(o.type, 2);
}

INSTANTIATE_TEST_SUITE_P(Times, Expiry, testing::Values(
    ExpiryCase{59750, false}, ExpiryCase{60000, true}, ExpiryCase{3600000, true}));

TEST(Expiry, IsNotTheFateOfAMarketOrder) {
  auto server = TestServer();
  ASSERT_EQ(server->OrderSend("EURUSD", 0, 0.1, 1.10020, 0, 0, 0, "", 0, kStart + 60), 1001);
  server->Advance(120000);
  SimOrder o;
  ASSERT_TRUE(server->OrderSelectByPos(0, kModeTrades, o));
  EXPECT_EQ(o.expiration, 0);
}

struct StopCase {
  const char* name;
  int type;
  double move_to;  // the bid, or for a sell the ask
  bool closed;
  double close_price;
  double balance;
};

void PrintTo(const StopCase& c, std::ostream* out) { *out << c.name; }

class StopHit : public testing::TestWithParam<StopCase> {};

TEST_P(StopHit, ClosesAtTheStopsPrice) {
  const StopCase& c = GetParam();
  auto server = TestServer();
  if (c.type == 0)
    ASSERT_EQ(server->OrderSend("EURUSD", 0, 1, 1.10020, 0, 1.09900, 1.10200, "", 0, 0), 1001);
  else
    ASSERT_EQ(server->OrderSend("EURUSD", 1, 1, 1.10000, 0, 1.10300, 1.09800, "", 0, 0), 1001);
  ASSERT_TRUE(c.type == 0 ? server->SetBid("EURUSD", c.move_to) : server->SetAsk("EURUSD", c.move_to));
  EXPECT_EQ(server->OrdersHistoryTotal(), c.closed ? 1 : 0);
  SimOrder o;
  ASSERT_TRUE(server->OrderSelectByTicket(1001, o));
  EXPECT_EQ(o.close_price, c.close_price);
  EXPECT_DOUBLE_EQ(server->AccountBalance(), c.balance);
}

INSTANTIATE_TEST_SUITE_P(Sides, StopHit, testing::Values(
    StopCase{"buy: stop loss", 0, 1.09900, true, 1.09900, 10000 - 120},
    StopCase{"buy: a gap through the stop loss", 0, 1.09500, true, 1.09900, 10000 - 120},
    StopCase{"buy: short of the stop loss", 0, 1.09901, false, 0, 10000},
    StopCase{"buy: take profit", 0, 1.10200, true, 1.10200, 10000 + 180},
    StopCase{"sell: stop loss", 1, 1.10300, true, 1.10300, 10000 - 300},
    StopCase{"sell: take profit", 1, 1.09800, true, 1.09800, 10000 + 200},
    StopCase{"sell: short of the take profit", 1, 1.09801, false, 0, 10000}));

TEST(Account, EquityAndFreeMarginFollowTheMarket) {
  auto server = TestServer();
  ASSERT_EQ(server->OrderSend("EURUSD", 0, 1, 1.10020, 0, 0, 0, "", 0, 0), 1001);
  EXPECT_DOUBLE_EQ(server->AccountEquity(), 10000 - 20);  // closing now costs the spread
  server->SetBid("EURUSD", 1.10120);
  EXPECT_DOUBLE_EQ(server->AccountEquity(), 10000 + 100);
  EXPECT_DOUBLE_EQ(server->AccountFreeMargin(), 10000 + 100 - 1000);
  EXPECT_DOUBLE_EQ(server->AccountBalance(), 10000);
  EXPECT_EQ(server->AccountLogin(), "4711");
}

struct FaultCase {
  TradeFault fault;
  int error;
  bool executed;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << "error " << c.error << (c.executed ? " executed" : ""); }

class Faults : public testing::TestWithParam<FaultCase> {};

TEST_P(Faults, MeetTheNextCallOnly) {
  const FaultCase& c = GetParam();
  auto server = TestServer();
  server->SetFaults(FaultPlan::Scripted({c.fault}));
  const int ticket = server->OrderSend("EURUSD", 0, 0.1, 1.10020, 0, 0, 0, "x", 9, 0);
  EXPECT_EQ(ticket, c.error == kErrNone ? 1001 : -1);
  EXPECT_EQ(server->GetLastError(), c.error);
  EXPECT_EQ(server->GetLastError(), kErrNone);  // reading it cleared it
  EXPECT_EQ(server->OrdersTotal(), c.executed ? 1 : 0);
  const int next = server->OrderSend("EURUSD", 0, 0.1, 1.10020, 0, 0, 0, "x", 9, 0);
  EXPECT_EQ(next, c.executed ? 1002 : 1001);
}

INSTANTIATE_TEST_SUITE_P(Kinds, Faults, testing::Values(
    FaultCase{TradeFault::kNone, kErrNone, true},
    FaultCase{TradeFault::kRequote, kErrRequote, false},
    FaultCase{TradeFault::kBrokerBusy, kErrBrokerBusy, false},
    FaultCase{TradeFault::kServerBusy, kErrServerBusy, false},
    FaultCase{TradeFault::kTradeContextBusy, kErrTradeContextBusy, false},
    FaultCase{TradeFault::kNoConnection, kErrNoConnection, false},
    FaultCase{TradeFault::kTimeoutWithoutExecution, kErrTradeTimeout, false},
    FaultCase{TradeFault::kTimeoutAfterExecution, kErrTradeTimeout, true}));

TEST(Faults, TimeoutAfterExecutionCarriesOutEveryCall) {
  auto server = TestServer();
  server->OrderSend("EURUSD", 0, 1, 1.10020, 0, 0, 0, "", 0, 0);
  server->OrderSend("EURUSD", 2, 0.1, 1.09900, 0, 0, 0, "", 0, 0);
  server->OrderSend("EURUSD", 2, 0.1, 1.09800, 0, 0, 0, "", 0, 0);
  const TradeFault timeout = TradeFault::kTimeoutAfterExecution;
  server->SetFaults(FaultPlan::Scripted({timeout, timeout, timeout}));
  EXPECT_FALSE(server->OrderClose(1001, 0.4, 1.10000, 0));
  EXPECT_FALSE(server->OrderModify(1002, 1.09850, 0, 0, 0));
  EXPECT_FALSE(server->OrderDelete(1003));
  EXPECT_EQ(server->GetLastError(), kErrTradeTimeout);
  SimOrder o;
  ASSERT_TRUE(server->OrderSelectByTicket(1004, o));  // the remainder of 1001
  EXPECT_EQ(o.lots, 0.6);
  ASSERT_TRUE(server->OrderSelectByTicket(1002, o));
  EXPECT_EQ(o.open_price, 1.09850);
  ASSERT_TRUE(server->OrderSelectByTicket(1003, o));
  EXPECT_NE(o.close_time, 0);
}

std::vector<int> ErrorsOfRandomFaults(uint64_t seed) {
  auto server = TestServer();
  server->SetFaults(FaultPlan::Random(seed, 0.5, {TradeFault::kRequote, TradeFault::kNoConnection}));
  std::vector<int> errors;
  for (int i = 0; i < 200; i++) {
    server->OrderModify(4242, 0, 0, 0, 0);  // fails with 4108 when no fault meets it
    errors.push_back(server->GetLastError());
  }
  return errors;
}

TEST(Faults, RandomOnesFollowTheSeed) {
  const std::vector<int> errors = ErrorsOfRandomFaults(3);
  EXPECT_EQ(errors, ErrorsOfRandomFaults(3));
  EXPECT_NE(errors, ErrorsOfRandomFaults(4));
  int requotes = 0, lost = 0;
  for (int error : errors) {
    requotes += error == kErrRequote;
    lost += error == kErrNoConnection;
  }
  EXPECT_GT(requotes, 25);
  EXPECT_GT(lost, 25);
  EXPECT_LT(requotes + lost, 140);
}

TEST(TradeContext, SecondCallMeanwhileIsBusy) {
  AccountSetup setup = TestAccount();
  setup.execution_ms = 400;
  auto server = TestServer(setup);
  int first_ticket = 0, first_error = -1;
  std::thread first([&] {
    first_ticket = server->OrderSend("EURUSD", 0, 0.1, 1.10020, 0, 0, 0, "", 0, 0);
    first_error = server->GetLastError();
  });
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!server->IsTradeContextBusy() && std::chrono::steady_clock::now() < give_up)
    std::this_thread::yield();
  EXPECT_EQ(server->OrderSend("EURUSD", 0, 0.1, 1.10020, 0, 0, 0, "", 0, 0), -1);
  EXPECT_EQ(server->GetLastError(), kErrTradeContextBusy);
  EXPECT_EQ(server->OrdersTotal(), 0);  // queries go on meanwhile
  first.join();
  EXPECT_EQ(first_ticket, 1001);
  EXPECT_EQ(first_error, kErrNone);  // each thread has its own last error
  EXPECT_FALSE(server->IsTradeContextBusy());
}

}  // namespace
