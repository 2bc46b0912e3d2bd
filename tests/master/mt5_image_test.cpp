#include "mt5_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "master_chains.h"
#include "mt5_account_image.h"
#include "mt5_image_numbers.h"

namespace {

using mt5::AccountFacts;
using mt5::Deal;
using mt5::HistoryWindow;
using mt5::ImageOrder;

constexpr int64_t kNow = 100000;
// An hour back from kNow, as the MT4 master expert keeps it.
const HistoryWindow kHour{kNow, 3600, 200};

Deal Trade(int64_t position, int64_t order, int32_t entry, int32_t type, double volume,
           int64_t time, double price = 1.1) {
  Deal d;
  d.ticket = order + 500000;
  d.order = order;
  d.position_id = position;
  d.entry = entry;
  d.type = type;
  d.volume = volume;
  d.price = price;
  d.time = time;
  d.magic = 77;
  d.symbol = "EURUSD";
  d.comment = "mine";
  return d;
}

mt5::Position Open(int64_t identifier, int32_t type, double volume) {
  mt5::Position p;
  p.identifier = identifier;
  p.type = type;
  p.volume = volume;
  p.symbol = "EURUSD";
  p.price_open = 1.1;
  p.sl = 1.0;
  p.tp = 1.5;
  p.time = 50;
  p.magic = 77;
  p.comment = "position's own";
  return p;
}

std::vector<ImageOrder> Pool(const std::vector<ImageOrder>& orders, int32_t pool) {
  std::vector<ImageOrder> in_pool;
  for (const ImageOrder& o : orders)
    if (o.pool == pool) in_pool.push_back(o);
  return in_pool;
}

std::vector<int32_t> Tickets(const std::vector<ImageOrder>& orders) {
  std::vector<int32_t> tickets;
  for (const ImageOrder& o : orders) tickets.push_back(o.ticket);
  return tickets;
}

// The image as a slave splits it, for the slave's own chain walk.
TImage AsSlaveSees(const std::vector<ImageOrder>& orders) {
  TImage image;
  image.login = "4711";
  for (const ImageOrder& o : orders) {
    TOrder t{};
    t.num1 = o.ticket;
    t.num2 = o.open_time;
    t.type = o.type;
    t.lots = o.lots;
    std::strncpy(t.symbol, o.symbol.c_str(), sizeof t.symbol - 1);
    t.close_time = o.close_time;
    t.num11 = o.magic;
    std::strncpy(t.comment, o.comment.c_str(), sizeof t.comment - 1);
    (o.pool == 0 ? image.market : image.history).push_back(t);
  }
  return image;
}

TEST(Mt5Image, HedgedPositionClosedInPartTwiceIsAChainTheSlavesWalkToItsRoot) {
  AccountFacts facts;
  facts.positions = {Open(1001, mt5::kBuy, 0.5)};
  facts.deals = {Trade(1001, 1003, mt5::kEntryOut, mt5::kSell, 0.2, 300, 1.3),
                 Trade(1001, 1001, mt5::kEntryIn, mt5::kBuy, 1.0, 100, 1.1),
                 Trade(1001, 1002, mt5::kEntryOut, mt5::kSell, 0.3, 200, 1.2)};
  const auto orders = mt5::BuildImageOrders(facts, kHour);

  ASSERT_EQ(orders.size(), 3u);
  const ImageOrder& open = orders[0];
  EXPECT_EQ(open.ticket, 1003);
  EXPECT_EQ(open.lots, 0.5);
  EXPECT_EQ(open.open_time, 100);
  EXPECT_EQ(open.open_price, 1.1);
  EXPECT_EQ(open.sl, 1.0);
  EXPECT_EQ(open.tp, 1.5);
  EXPECT_EQ(open.magic, 77);
  EXPECT_EQ(open.comment, "from #1002");
  // Older than the hour, yet published: the chain's closed parts, nearest first.
  EXPECT_EQ(Tickets(Pool(orders, 1)), (std::vector<int32_t>{1002, 1001}));
  EXPECT_EQ(orders[1].comment, "to #1003");
  EXPECT_NEAR(orders[1].lots, 0.2, 1e-12);
  EXPECT_EQ(orders[1].close_time, 300);
  EXPECT_EQ(orders[1].close_price, 1.3);
  EXPECT_EQ(orders[2].comment, "to #1002");
  EXPECT_EQ(orders[2].open_price, 1.1);

  const auto chains = GatherChains(AsSlaveSees(orders));
  ASSERT_EQ(chains.size(), 1u);
  EXPECT_TRUE(chains[0].resolved);
  EXPECT_EQ(chains[0].root_ticket, 1001);
  EXPECT_NEAR(chains[0].original_lots, 1.0, 1e-12);
}

TEST(Mt5Image, PositionClosedWholeOrByItsStopIsOneHistoryOrderUnderItsTicket) {
  AccountFacts facts;
  // Closed by the server's stop loss order 2005; the other closed in part, then the rest.
  facts.deals = {Trade(2001, 2001, mt5::kEntryIn, mt5::kBuy, 1.0, 100),
                 Trade(2001, 2005, mt5::kEntryOut, mt5::kSell, 1.0, kNow - 10, 1.05),
                 Trade(3001, 3001, mt5::kEntryIn, mt5::kSell, 1.0, 100),
                 Trade(3001, 3002, mt5::kEntryOut, mt5::kBuy, 0.4, kNow - 30),
                 Trade(3001, 3003, mt5::kEntryOutBy, mt5::kBuy, 0.6, kNow - 20)};
  const auto orders = mt5::BuildImageOrders(facts, kHour);

  ASSERT_EQ(Tickets(orders), (std::vector<int32_t>{2001, 3002, 3001}));
  EXPECT_EQ(orders[0].pool, 1);
  EXPECT_EQ(orders[0].lots, 1.0);
  EXPECT_EQ(orders[0].close_time, kNow - 10);
  EXPECT_EQ(orders[0].close_price, 1.05);
  EXPECT_EQ(orders[0].comment, "mine");
  EXPECT_EQ(orders[1].type, mt5::kSell);
  EXPECT_EQ(orders[1].comment, "from #3001");
  EXPECT_EQ(orders[2].comment, "to #3002");
}

TEST(Mt5Image, NettingAdditionsAreOrdersOfTheirOwnClosedOldestFirst) {
  AccountFacts facts;
  facts.positions = {Open(4001, mt5::kBuy, 0.2)};
  facts.deals = {Trade(4001, 4001, mt5::kEntryIn, mt5::kBuy, 1.0, 100, 1.10),
                 Trade(4001, 4002, mt5::kEntryIn, mt5::kBuy, 0.5, 200, 1.20),
                 Trade(4001, 4003, mt5::kEntryOut, mt5::kSell, 1.3, 300)};
  const auto orders = mt5::BuildImageOrders(facts, kHour);

  ASSERT_EQ(Tickets(orders), (std::vector<int32_t>{4003, 4002}));
  EXPECT_NEAR(orders[0].lots, 0.2, 1e-12);
  EXPECT_EQ(orders[0].open_price, 1.20);
  EXPECT_EQ(orders[0].open_time, 200);
  EXPECT_EQ(orders[0].comment, "from #4002");
  EXPECT_EQ(orders[1].comment, "to #4003");

  facts.deals.pop_back();
  facts.positions = {Open(4001, mt5::kBuy, 1.5)};
  EXPECT_EQ(Tickets(mt5::BuildImageOrders(facts, kHour)), (std::vector<int32_t>{4001, 4002}));
}

TEST(Mt5Image, NettingReversalClosesEveryLotAndOpensTheRestAsANewChain) {
  AccountFacts facts;
  facts.positions = {Open(4001, mt5::kSell, 0.5)};
  facts.deals = {Trade(4001, 4001, mt5::kEntryIn, mt5::kBuy, 1.0, kNow - 300),
                 Trade(4001, 4002, mt5::kEntryIn, mt5::kBuy, 0.5, kNow - 200),
                 Trade(4001, 4004, mt5::kEntryInOut, mt5::kSell, 2.0, kNow - 100, 1.3)};
  const auto orders = mt5::BuildImageOrders(facts, kHour);

  ASSERT_EQ(Tickets(orders), (std::vector<int32_t>{4004, 4002, 4001}));
  EXPECT_EQ(orders[0].type, mt5::kSell);
  EXPECT_EQ(orders[0].lots, 0.5);
  EXPECT_EQ(orders[0].open_price, 1.3);
  EXPECT_EQ(orders[0].comment, "mine");
  EXPECT_EQ(orders[1].close_price, 1.3);
  EXPECT_EQ(orders[2].lots, 1.0);
}

TEST(Mt5Image, PendingOrderKeepsItsTicketWhenFilledAndIsHistoryWhenCancelled) {
  mt5::PendingOrder pending;
  pending.ticket = 5001;
  pending.type = mt5::kBuyLimit;
  pending.volume = 1.0;
  pending.price_open = 1.05;
  pending.expiration = 90000;
  mt5::PendingOrder stop_limit = pending;
  stop_limit.ticket = 5009;
  stop_limit.type = 6;
  AccountFacts facts;
  facts.pending_orders = {pending, stop_limit};
  auto orders = mt5::BuildImageOrders(facts, kHour);
  ASSERT_EQ(Tickets(orders), (std::vector<int32_t>{5001}));
  EXPECT_EQ(orders[0].type, mt5::kBuyLimit);
  EXPECT_EQ(orders[0].expiration, 90000);

  // Filled in part: the position and the order still pending are one order to the slaves.
  facts.positions = {Open(5001, mt5::kBuy, 0.4)};
  facts.deals = {Trade(5001, 5001, mt5::kEntryIn, mt5::kBuy, 0.4, 200)};
  orders = mt5::BuildImageOrders(facts, kHour);
  ASSERT_EQ(Tickets(orders), (std::vector<int32_t>{5001}));
  EXPECT_EQ(orders[0].type, mt5::kBuy);

  mt5::FinishedOrder cancelled;
  cancelled.ticket = 5002;
  cancelled.type = 3;
  cancelled.state = mt5::kStateCanceled;
  cancelled.volume_initial = 0.7;
  cancelled.price_open = 1.2;
  cancelled.time_done = kNow - 5;
  mt5::FinishedOrder expired = cancelled;
  expired.ticket = 5003;
  expired.state = mt5::kStateExpired;
  expired.time_done = kNow - 6;
  mt5::FinishedOrder rejected = cancelled;
  rejected.ticket = 5004;
  rejected.state = 5;
  mt5::FinishedOrder filled = cancelled;
  filled.ticket = 5005;
  filled.state = 4;
  mt5::FinishedOrder market = cancelled;
  market.ticket = 5006;
  market.type = mt5::kBuy;
  facts = {};
  facts.finished_orders = {rejected, expired, filled, cancelled, market};
  orders = mt5::BuildImageOrders(facts, kHour);
  ASSERT_EQ(Tickets(orders), (std::vector<int32_t>{5002, 5003}));
  EXPECT_EQ(orders[0].pool, 1);
  EXPECT_EQ(orders[0].type, 3);
  EXPECT_EQ(orders[0].lots, 0.7);
  EXPECT_EQ(orders[0].close_time, kNow - 5);
  EXPECT_EQ(orders[0].close_price, 1.2);
}

TEST(Mt5Image, HistoryIsTheNewestOfTheWindowAndEveryClosedPartOfAnOpenChain) {
  AccountFacts facts;
  facts.positions = {Open(1001, mt5::kBuy, 0.5)};
  facts.deals = {Trade(1001, 1001, mt5::kEntryIn, mt5::kBuy, 1.0, 100),
                 Trade(1001, 1002, mt5::kEntryOut, mt5::kSell, 0.5, 200)};
  for (int64_t i = 0; i < 4; i++) {
    // Closed 4000, 3600, 3200 and 2800 seconds ago.
    facts.deals.push_back(Trade(7000 + i, 7000 + i, mt5::kEntryIn, mt5::kBuy, 1.0, 100));
    facts.deals.push_back(Trade(7000 + i, 8000 + i, mt5::kEntryOut, mt5::kSell, 1.0, kNow - 4000 + 400 * i));
  }
  EXPECT_EQ(Tickets(Pool(mt5::BuildImageOrders(facts, kHour), 1)),
            (std::vector<int32_t>{7003, 7002, 7001, 1001}));
  EXPECT_EQ(Tickets(Pool(mt5::BuildImageOrders(facts, {kNow, 3600, 2}), 1)),
            (std::vector<int32_t>{7003, 7002, 1001}));
  EXPECT_EQ(Tickets(Pool(mt5::BuildImageOrders(facts, {kNow, 3600, 0}), 1)),
            (std::vector<int32_t>{1001}));
}

TEST(Mt5Image, PositionWhoseDealsDoNotAddUpIsPublishedAsThePositionSaysIt) {
  AccountFacts facts;
  mt5::Position position = Open(6001, mt5::kBuy, 0.7);
  // The deal that opened it is missing: the closed part cannot be told.
  facts.positions = {position};
  facts.deals = {Trade(6001, 6002, mt5::kEntryOut, mt5::kSell, 0.3, kNow - 10)};
  auto orders = mt5::BuildImageOrders(facts, kHour);
  ASSERT_EQ(orders.size(), 1u);
  EXPECT_EQ(orders[0].ticket, 6001);
  EXPECT_EQ(orders[0].lots, 0.7);
  EXPECT_EQ(orders[0].open_time, 50);
  EXPECT_EQ(orders[0].comment, "position's own");

  // Changed between the expert's calls: the deals say 1.0 is open.
  facts.deals = {Trade(6001, 6001, mt5::kEntryIn, mt5::kBuy, 1.0, 100)};
  orders = mt5::BuildImageOrders(facts, kHour);
  ASSERT_EQ(orders.size(), 1u);
  EXPECT_EQ(orders[0].lots, 0.7);
  EXPECT_EQ(orders[0].comment, "position's own");
}

TEST(Mt5Image, TicketsKeepTheirLow31BitsAndMagicNumbersTheirLow32) {
  const struct {
    int64_t mt5;
    int32_t image;
  } tickets[] = {{5, 5},
                 {0x100000005LL, 5},
                 {0x7FFFFFFFLL, 0x7FFFFFFF},
                 {0x80000001LL, 1},
                 {0x80000000LL, 0x40000000},
                 {0, 0x40000000}};
  for (const auto& t : tickets) EXPECT_EQ(mt5::ImageTicket(t.mt5), t.image) << t.mt5;
  EXPECT_EQ(mt5::ImageMagic(0x1FFFFFFFFLL), -1);
  EXPECT_EQ(mt5::ImageMagic(-2), -2);

  AccountFacts facts;
  const int64_t position = 0x300000010LL;
  facts.positions = {Open(position, mt5::kBuy, 0.5)};
  facts.deals = {Trade(position, position, mt5::kEntryIn, mt5::kBuy, 1.0, 100),
                 Trade(position, position + 1, mt5::kEntryOut, mt5::kSell, 0.5, 200)};
  facts.deals[0].magic = 0x500000007LL;
  const auto orders = mt5::BuildImageOrders(facts, kHour);
  ASSERT_EQ(orders.size(), 2u);
  EXPECT_EQ(orders[0].ticket, 0x11);
  EXPECT_EQ(orders[0].magic, 7);
  EXPECT_EQ(orders[0].comment, "from #16");
  EXPECT_EQ(orders[1].comment, "to #17");
}

mt5::TextIn In(const char* text) { return {text, static_cast<int32_t>(std::strlen(text) + 1)}; }

TEST(Mt5AccountImage, BadArgumentsAnswerMinusOneAndAddNothing) {
  mt5::AccountImage account;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  mt5::Position position = Open(1, mt5::kBuy, 1.0);
  EXPECT_EQ(account.PositionAdd(position, {nullptr, 8}, In("c")), -1);
  EXPECT_EQ(account.PositionAdd(position, {"EURUSD", 0}, In("c")), -1);
  position.sl = nan;
  EXPECT_EQ(account.PositionAdd(position, In("EURUSD"), In("c")), -1);
  Deal deal = Trade(1, 1, mt5::kEntryIn, mt5::kBuy, INFINITY, 1);
  EXPECT_EQ(account.DealAdd(deal, In("EURUSD"), In("")), -1);
  EXPECT_EQ(account.PendingOrderAdd({}, In("EURUSD"), {nullptr, 1}), -1);
  EXPECT_EQ(account.FinishedOrderAdd({}, {"", -1}, In("")), -1);
  EXPECT_EQ(account.Build({kNow, -1, 200}), -1);
  EXPECT_EQ(account.Build({kNow, 3600, -1}), -1);
  EXPECT_EQ(account.Build(kHour), 0);
}

// The expert reads the history only when it may have changed: what it gave stays through the
// builds between, until it gives the history anew.
TEST(Mt5AccountImage, HistoryStaysThroughBeginUntilHistoryBegin) {
  mt5::AccountImage account;
  const int64_t position = 16;
  ASSERT_EQ(account.DealAdd(Trade(position, position, mt5::kEntryIn, mt5::kBuy, 1.0, 100), In("EURUSD"), In("")), 0);
  ASSERT_EQ(account.DealAdd(Trade(position, position + 1, mt5::kEntryOut, mt5::kSell, 0.5, 200), In("EURUSD"), In("")), 0);
  for (int build = 0; build < 2; build++) {
    ASSERT_EQ(account.Begin(), 0);
    ASSERT_EQ(account.PositionAdd(Open(position, mt5::kBuy, 0.5), In("EURUSD"), In("")), 0);
    EXPECT_EQ(account.Build(kHour), 2) << "build " << build << ": the remainder and its closed part";
  }
  ASSERT_EQ(account.Begin(), 0);
  ASSERT_EQ(account.HistoryBegin(), 0);
  ASSERT_EQ(account.PositionAdd(Open(position, mt5::kBuy, 0.5), In("EURUSD"), In("")), 0);
  EXPECT_EQ(account.Build(kHour), 1) << "without its deals the position is published whole";
}

// Builds of an unchanged account are the last build's; a deal given, or the clock's next second
// (the last hour moves on), builds anew.
TEST(Mt5AccountImage, BuildsAnewWhenTheHistoryOrTheSecondChanges) {
  mt5::AccountImage account;
  const int64_t position = 16;
  auto build = [&](const mt5::HistoryWindow& window) {
    EXPECT_EQ(account.Begin(), 0);
    EXPECT_EQ(account.PositionAdd(Open(position, mt5::kBuy, 0.5), In("EURUSD"), In("")), 0);
    return account.Build(window);
  };
  ASSERT_EQ(account.DealAdd(Trade(position, position, mt5::kEntryIn, mt5::kBuy, 1.0, kNow - 10), In("EURUSD"), In("")), 0);
  EXPECT_EQ(build(kHour), 1) << "the deals do not add up: the position whole";
  EXPECT_EQ(build(kHour), 1);
  ASSERT_EQ(account.DealAdd(Trade(position, position + 1, mt5::kEntryOut, mt5::kSell, 0.5, kNow - 5), In("EURUSD"),
                            In("")),
            0);
  EXPECT_EQ(build(kHour), 2) << "the remainder and its closed part";
  mt5::HistoryWindow later = kHour;
  later.now += 2 * 3600;
  EXPECT_EQ(build(later), 2) << "a closed part of an open chain stays";
  ASSERT_EQ(account.DealAdd(Trade(8, 8, mt5::kEntryIn, mt5::kSell, 0.1, kNow - 20), In("EURUSD"), In("")), 0);
  ASSERT_EQ(account.DealAdd(Trade(8, 9, mt5::kEntryOut, mt5::kBuy, 0.1, kNow - 15), In("EURUSD"), In("")), 0);
  EXPECT_EQ(build(kHour), 3) << "the closed position of the last hour";
  EXPECT_EQ(build(later), 2) << "two hours on, it is older than the last hour";
}

TEST(Mt5AccountImage, TextsGoInToTheirZeroAndOutCutBetweenCharacters) {
  mt5::AccountImage account;
  // Eight bytes given of "EURUSD\0junk"; a comment of "ab" and a two-byte "é".
  ASSERT_EQ(account.PositionAdd(Open(1, mt5::kBuy, 1.0), {"EURUSD\0junk", 8}, In("ab\xC3\xA9")), 0);
  ASSERT_EQ(account.Build(kHour), 1);
  int32_t pool = -1, ticket = 0, open_time, type, close_time, magic, expiration;
  double lots, open_price, sl, tp, close_price;
  char symbol[32] = {}, comment[4];
  const mt5::ImageOrderOut out{&pool,  &ticket,      &open_time, &type,  &lots,
                               {symbol, 32},  &open_price, &sl,  &tp,  &close_time,
                               &close_price, &magic, &expiration, {comment, 4}};
  ASSERT_EQ(account.OrderGet(0, out), 1);
  EXPECT_EQ(pool, 0);
  EXPECT_EQ(ticket, 1);
  EXPECT_STREQ(symbol, "EURUSD");
  EXPECT_STREQ(comment, "ab");
  EXPECT_EQ(account.OrderGet(1, out), 0);
  mt5::ImageOrderOut without_ticket = out;
  without_ticket.ticket = nullptr;
  EXPECT_EQ(account.OrderGet(0, without_ticket), 0);
  EXPECT_EQ(account.Begin(), 0);
  EXPECT_EQ(account.OrderGet(0, out), 0);
}

}  // namespace
