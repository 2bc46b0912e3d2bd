// The account's journal: one line per change, read back to the same account after a restart,
// also when the process was killed while writing a line.
#include <gtest/gtest.h>

#include <vector>

#include "account_journal.h"
#include "scratch_file.h"
#include "test_market.h"
#include "trade_error_codes.h"

namespace {

JournalEvent Event(JournalEvent::Kind kind, int ticket) {
  JournalEvent e;
  e.kind = kind;
  e.time = kStart + 60;
  e.order.ticket = ticket;
  return e;
}

JournalEvent Open(const std::string& comment) {
  JournalEvent e = Event(JournalEvent::kOpen, 1001);
  e.order = {1001, 0, 4, 0.07, "EURUSD.m", 1.10345, 1.1, 1.2, 0, 0, comment, -5, kStart + 600};
  return e;
}

struct LineCase {
  JournalEvent event;
  const char* line;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.line; }

class Line : public testing::TestWithParam<LineCase> {};

TEST_P(Line, IsWrittenSoAndReadBack) {
  const LineCase& c = GetParam();
  EXPECT_EQ(FormatJournalLine(c.event), c.line);
  JournalEvent read;
  ASSERT_TRUE(ParseJournalLine(c.line, read));
  EXPECT_EQ(FormatJournalLine(read), c.line);
  EXPECT_EQ(read.kind, c.event.kind);
  EXPECT_EQ(read.order.comment, c.event.order.comment);
  EXPECT_EQ(read.order.open_price, c.event.order.open_price);
  EXPECT_EQ(read.order.close_price, c.event.order.close_price);
  EXPECT_EQ(read.order.lots, c.event.order.lots);
}

JournalEvent With(JournalEvent e, double close_price, double lots = 0, int remainder = 0,
                  ClosedBy by = ClosedBy::kExpert) {
  e.order.close_price = close_price;
  e.order.lots = lots;
  e.remainder_ticket = remainder;
  e.by = by;
  return e;
}

JournalEvent Modified() {
  JournalEvent e = Event(JournalEvent::kModify, 1003);
  e.order.open_price = 1.07;
  e.order.stop_loss = 1.06;
  e.order.expiration = kStart + 3600;
  return e;
}

JournalEvent Triggered() {
  JournalEvent e = Event(JournalEvent::kTrigger, 1003);
  e.order.type = 1;
  return e;
}

INSTANTIATE_TEST_SUITE_P(Kinds, Line, testing::Values(
    LineCase{Open("first trade"),
             "open ticket=1001 time=1252972860 type=4 lots=0.07 symbol=EURUSD.m price=1.10345 sl=1.1 "
             "tp=1.2 expiration=1252973400 magic=-5 comment=first%20trade"},
    LineCase{Open(""),
             "open ticket=1001 time=1252972860 type=4 lots=0.07 symbol=EURUSD.m price=1.10345 sl=1.1 "
             "tp=1.2 expiration=1252973400 magic=-5 comment="},
    LineCase{Open("100% Gewinn \xE2\x82\xAC\ttab\nline"),
             "open ticket=1001 time=1252972860 type=4 lots=0.07 symbol=EURUSD.m price=1.10345 sl=1.1 "
             "tp=1.2 expiration=1252973400 magic=-5 comment=100%25%20Gewinn%20\xE2\x82\xAC%09tab%0Aline"},
    LineCase{With(Event(JournalEvent::kClose, 1002), 1.1, 0, 0, ClosedBy::kTakeProfit),
             "close ticket=1002 time=1252972860 price=1.1 by=tp"},
    LineCase{With(Event(JournalEvent::kPartialClose, 1001), 1.0851, 0.04, 1002),
             "partial ticket=1001 time=1252972860 lots=0.04 price=1.0851 remainder=1002"},
    LineCase{Modified(), "modify ticket=1003 time=1252972860 price=1.07 sl=1.06 tp=0 expiration=1252976400"},
    LineCase{Triggered(), "trigger ticket=1003 time=1252972860 type=1"},
    LineCase{With(Event(JournalEvent::kDelete, 1004), 1.08349), "delete ticket=1004 time=1252972860 price=1.08349"},
    LineCase{With(Event(JournalEvent::kExpire, 1005), 0.30000000000000004),
             "expire ticket=1005 time=1252972860 price=0.30000000000000004"}));

TEST(Line, OthersAreRefused) {
  const char* const lines[] = {
      "",
      "open",
      "jump ticket=1",
      "trigger ticket=1003 time=1252972860",                        // a field missing
      "trigger ticket=1003 time=1252972860 type=1 magic=2",         // one that is not its kind's
      "trigger ticket=1003 ticket=1003 time=1252972860 type=1",     // twice
      "trigger ticket=1003 time=1252972860 type=1x",
      "trigger ticket=1003 time=1252972860 type=",
      "trigger ticket=1003  time=1252972860 type=1",
      "trigger ticket=1003 time=1252972860 type=1 ",
      "trigger ticket=1003 time=1252972860 type",
      "trigger ticket=99999999999 time=1252972860 type=1",
      "close ticket=1002 time=1252972860 price=1.1 by=hand",
      "delete ticket=1004 time=1252972860 price=1,08",
      "open ticket=1001 time=1 type=0 lots=1 symbol=E price=1 sl=0 tp=0 expiration=0 magic=0 comment=%4",
      "open ticket=1001 time=1 type=0 lots=1 symbol=E price=1 sl=0 tp=0 expiration=0 magic=0 comment=%G0",
      "open ticket=1001 time=1 type=0 lots=1 symbol=E price=1 sl=0 tp=0 expiration=0 magic=0 comment=a\tb",
  };
  for (const char* line : lines) {
    JournalEvent event;
    EXPECT_FALSE(ParseJournalLine(line, event)) << line;
  }
}

// Everything an account does, by trade calls and by itself: opens, a partial close, a
// modify, a pending order triggered by the market and one expired, a delete, a stop hit.
void Trade(TradeServer& server) {
  server.OrderSend("EURUSD", 0, 1, 1.10020, 0, 1.09900, 0, "first", 11, 0);
  server.OrderSend("EURUSD", 2, 0.5, 1.09980, 0, 0, 1.10500, "grid 1", 12, 0);
  server.OrderSend("EURUSD", 5, 0.1, 1.09000, 0, 0, 0, "", 13, kStart + 120);
  server.OrderSend("USDJPY", 1, 0.2, 150.000, 0, 0, 0, "jpy \xE2\x82\xAC", 14, 0);
  server.OrderSend("EURUSD", 3, 0.1, 1.11000, 0, 0, 0, "to delete", 15, 0);
  server.Advance(60000);
  server.OrderClose(1001, 0.25, 1.10000, 0);
  server.OrderModify(1006, 1.10020, 1.09930, 0, 0);
  server.SetBid("EURUSD", 1.09960);  // the buy limit triggers
  server.Advance(90000);             // the sell stop expires
  server.OrderDelete(1005);
  server.SetBid("EURUSD", 1.09930);  // 1006's stop loss
}

void ExpectSameAccount(TradeServer& live, TradeServer& replayed) {
  EXPECT_EQ(live.AccountBalance(), replayed.AccountBalance());
  for (OrderPool pool : {kModeTrades, kModeHistory}) {
    const int total = pool == kModeTrades ? live.OrdersTotal() : live.OrdersHistoryTotal();
    ASSERT_EQ(total, pool == kModeTrades ? replayed.OrdersTotal() : replayed.OrdersHistoryTotal());
    for (int i = 0; i < total; i++) {
      SimOrder a, b;
      ASSERT_TRUE(live.OrderSelectByPos(i, pool, a));
      ASSERT_TRUE(replayed.OrderSelectByPos(i, pool, b));
      EXPECT_EQ(FormatJournalLine({JournalEvent::kOpen, a.close_time, a}),
                FormatJournalLine({JournalEvent::kOpen, b.close_time, b}));
      EXPECT_EQ(a.open_time, b.open_time);
      EXPECT_EQ(a.close_price, b.close_price);
    }
  }
}

TEST(Journal, ReplaysToTheSameAccount) {
  ScratchFile file;
  auto live = TestServer();
  std::string error;
  ASSERT_TRUE(live->OpenJournal(file.Path(), error)) << error;
  Trade(*live);
  ASSERT_EQ(live->OrdersTotal(), 2);         // 1002 triggered, 1004
  ASSERT_EQ(live->OrdersHistoryTotal(), 4);  // 1001's closed part, 1003, 1005, 1006

  auto replayed = TestServer();
  ASSERT_TRUE(replayed->OpenJournal(file.Path(), error)) << error;
  ExpectSameAccount(*live, *replayed);
  EXPECT_EQ(replayed->TimeCurrent(), kStart + 150);  // the clock goes on from the last change
  EXPECT_EQ(replayed->OrderSend("EURUSD", 0, 0.1, 1.10020, 0, 0, 0, "", 0, 0), 1007);
}

TEST(Journal, IgnoresALineTornByAKill) {
  ScratchFile file;
  auto live = TestServer();
  std::string error;
  ASSERT_TRUE(live->OpenJournal(file.Path(), error)) << error;
  Trade(*live);
  const std::string whole = file.Read();
  file.Write(whole + "open ticket=1007 time=1252972950 type=0 lots=0.1 sym");

  auto replayed = TestServer();
  ASSERT_TRUE(replayed->OpenJournal(file.Path(), error)) << error;
  ExpectSameAccount(*live, *replayed);
  EXPECT_EQ(file.Read(), whole);  // cut off, so the next line starts clean

  // Trading on, then a third start: the lines after the cut read as well.
  live.reset();
  ASSERT_EQ(replayed->OrderSend("EURUSD", 1, 0.1, 1.10000, 0, 0, 0, "after", 0, 0), 1007);
  auto third = TestServer();
  ASSERT_TRUE(third->OpenJournal(file.Path(), error)) << error;
  ExpectSameAccount(*replayed, *third);
}

TEST(Journal, RefusesWhatDoesNotRead) {
  struct Bad {
    const char* text;
    const char* error_has;
  };
  const Bad cases[] = {
      {"open ticket=1001 time=1252972800 type=0 lots=0.1 symbol=EURUSD price=1.1 sl=0 tp=0 "
       "expiration=0 magic=0 comment=\ngarbage\nclose ticket=1001 time=1252972900 price=1.1 by=sl\n",
       "line 2"},
      {"close ticket=1001 time=1252972900 price=1.1 by=sl\n", "line 1"},  // no such order
      {"open ticket=1001 time=1252972800 type=2 lots=0.1 symbol=EURUSD price=1.1 sl=0 tp=0 "
       "expiration=0 magic=0 comment=\nclose ticket=1001 time=1252972900 price=1.1 by=sl\n",
       "line 2"},  // a pending order cannot be closed
      {"open ticket=1001 time=1252972800 type=0 lots=1e300 symbol=EURUSD price=1.1 sl=0 tp=0 "
       "expiration=0 magic=0 comment=\n",
       "line 1"},
  };
  for (const Bad& bad : cases) {
    ScratchFile file;
    file.Write(bad.text);
    auto server = TestServer();
    std::string error;
    EXPECT_FALSE(server->OpenJournal(file.Path(), error)) << bad.text;
    EXPECT_NE(error.find(bad.error_has), std::string::npos) << error;
    EXPECT_EQ(server->OrdersTotal() + server->OrdersHistoryTotal(), 0);
    EXPECT_EQ(server->OrderSend("EURUSD", 0, 0.1, 1.10020, 0, 0, 0, "", 0, 0), kFirstTicket);
    EXPECT_EQ(file.Read(), bad.text);  // nothing written to a journal that was refused
  }
}

TEST(Journal, OnlyForAnAccountWithoutOrders) {
  ScratchFile file;
  auto server = TestServer();
  server->OrderSend("EURUSD", 0, 0.1, 1.10020, 0, 0, 0, "", 0, 0);
  std::string error;
  EXPECT_FALSE(server->OpenJournal(file.Path(), error));
  EXPECT_EQ(server->OrdersTotal(), 1);
}

TEST(Journal, ListsTheOpensOfTradeCallsWithTheirMagic) {
  ScratchFile file;
  auto server = TestServer();
  std::string error;
  ASSERT_TRUE(server->OpenJournal(file.Path(), error)) << error;
  server->SetFaults(FaultPlan::Scripted({TradeFault::kTimeoutAfterExecution}));
  EXPECT_EQ(server->OrderSend("EURUSD", 0, 1, 1.10020, 0, 0, 0, "copy of #77", 5, 0), -1);
  server->OrderClose(1001, 0.5, 1.10000, 0);  // the remainder 1002 was never sent
  server->OrderSend("USDJPY", 1, 0.1, 150.000, 0, 0, 0, "copy of #78", 6, 0);
  server->OrderSend("EURUSD", 0, 99, 1.10020, 0, 0, 0, "refused", 7, 0);

  std::vector<JournalEvent> events;
  ASSERT_TRUE(ReadJournal(file.Path(), events, error)) << error;
  const std::vector<SimOrder> opens = JournaledOpens(events);
  ASSERT_EQ(opens.size(), 2u);
  EXPECT_EQ(opens[0].ticket, 1001);
  EXPECT_EQ(opens[0].magic, 5);
  EXPECT_EQ(opens[0].comment, "copy of #77");
  EXPECT_EQ(opens[0].open_time, kStart);
  EXPECT_EQ(opens[1].ticket, 1003);
  EXPECT_EQ(opens[1].magic, 6);
  EXPECT_EQ(opens[1].symbol, "USDJPY");
}

}  // namespace
