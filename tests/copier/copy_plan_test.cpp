// The planner, row by row: masters' orders and the slave's orders in, actions out. Every row is
// also run to its end on a test terminal: the plan must settle, asking nothing more, within
// three rounds.
#include "copy_plan.h"

#include <gtest/gtest.h>

#include <ostream>

#include "copier_builders.h"
#include "copy_settings.h"

namespace {

struct PlanCase {
  const char* name;
  std::vector<TImage> masters;
  SlaveState slave;
  const char* settings;
  std::vector<std::string> actions;
  const char* log = "";  // a line of the first plan's log holds this
};

void PrintTo(const PlanCase& c, std::ostream* out) { *out << c.name; }

SlaveState Following(SlaveState slave, int64_t since) {
  slave.following_since = since;
  return slave;
}

// The slave's server clock at `now`, `since` when it began following.
SlaveState Clock(SlaveState slave, int64_t now, int64_t since = 0) {
  slave.now = now;
  slave.following_since = since;
  return slave;
}

SlaveState CopiedElsewhere(SlaveState slave, const char* login, int expert) {
  slave.copied_elsewhere.push_back({login, expert});
  return slave;
}

SymbolFacts NotOffered(const char* name) {
  SymbolFacts facts = Eurusd(name);
  facts.exists = false;
  return facts;
}

class Plan : public testing::TestWithParam<PlanCase> {};

TEST_P(Plan, AsksTheseActionsAndThenNothing) {
  const PlanCase& c = GetParam();
  ParsedSettings parsed = ParseCopySettings(c.settings);
  ASSERT_TRUE(parsed.problems.empty()) << parsed.problems.front();
  CopyMemory memory;
  CopyPlan plan = PlanCopy(c.masters, c.slave, parsed.settings, memory);

  EXPECT_EQ(Describe(plan.actions), c.actions);
  bool logged = !*c.log;
  for (const std::string& line : plan.log) logged = logged || line.find(c.log) != std::string::npos;
  EXPECT_TRUE(logged) << "no log line holds \"" << c.log << "\"";
  for (const CopyAction& action : plan.actions) {
    EXPECT_EQ(action.magic, CopyMagic(action.login, action.root_ticket));
    if (action.kind == ActionKind::kOpen) {
      EXPECT_EQ(action.comment, CopyComment(action.login, action.root_ticket));
    }
  }

  SlaveState slave = c.slave;
  TestTerminal terminal;
  for (int round = 0; round < 3 && !plan.actions.empty(); round++) {
    for (const CopyAction& action : plan.actions) terminal.Run(action, slave);
    plan = PlanCopy(c.masters, slave, parsed.settings, memory);
  }
  EXPECT_EQ(Describe(plan.actions), std::vector<std::string>{}) << "still asked after three rounds";
}

std::string CaseName(const testing::TestParamInfo<PlanCase>& info) { return info.param.name; }

const Master kEurBuy = Master(1001, kBuy, 1.0, "EURUSD", 1.08340).Sl(1.075).Tp(1.095);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Opens, Plan, testing::Values(
    PlanCase{"MarketBuyWithItsStops", {Image("4711", {kEurBuy})}, Account({}), "",
             {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 1.075 tp 1.095"},
             "open copy of 4711 #1001: buy 1.00 EURUSD at 1.08350 sl 1.07500 tp 1.09500"},
    PlanCase{"MarketSellAtTheBid",
             {Image("4711", {Master(1002, kSell, 0.5, "EURUSD", 1.08345).Sl(1.09).Tp(1.07)})}, Account({}), "",
             {"open 4711 #1002: sell 0.5 EURUSD at 1.0834 sl 1.09 tp 1.07"}},
    PlanCase{"EveryMasterItsOwnCopies",
             {Image("4711", {kEurBuy}), Image("4712", {Master(1001, kSell, 0.3, "EURUSD", 1.0834)})},
             Account({}), "",
             {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 1.075 tp 1.095",
              "open 4712 #1001: sell 0.3 EURUSD at 1.0834 sl 0 tp 0"}},
    PlanCase{"CopiesOpenedByHandAreNotTouched", {Image("4711", {})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.08), Slave(5002, kSell, 1, "EURUSD", 1.08)}), "", {}, ""},
    PlanCase{"AlreadyCopied", {Image("4711", {kEurBuy})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Sl(1.075).Tp(1.095).Of("4711", 1001)}), "", {}, ""}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Lots, Plan, testing::Values(
    PlanCase{"Multiplier", {Image("4711", {kEurBuy})}, Account({}), "lot_multiplier=0.2",
             {"open 4711 #1001: buy 0.2 EURUSD at 1.0835 sl 1.075 tp 1.095"}},
    PlanCase{"Fixed", {Image("4711", {Master(1001, kBuy, 3, "EURUSD", 1.0834)})}, Account({}), "fixed_lots=0.05",
             {"open 4711 #1001: buy 0.05 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"UsersMaximum", {Image("4711", {kEurBuy})}, Account({}), "lot_multiplier=10; max_lots=2.5",
             {"open 4711 #1001: buy 2.5 EURUSD at 1.0835 sl 1.075 tp 1.095"}},
    PlanCase{"RoundedDownToTheStep", {Image("4711", {kEurBuy})}, Account({}), "lot_multiplier=0.339",
             {"open 4711 #1001: buy 0.33 EURUSD at 1.0835 sl 1.075 tp 1.095"}},
    PlanCase{"WholeStepsStayWhole", {Image("4711", {Master(1001, kBuy, 0.3, "XAUUSD", 1950.2)})}, Account({}), "",
             {"open 4711 #1001: buy 0.3 XAUUSD at 1950.5 sl 0 tp 0"}},
    PlanCase{"SymbolsMaximum", {Image("4711", {Master(1001, kBuy, 80, "XAUUSD", 1950.2)})}, Account({}), "",
             {"open 4711 #1001: buy 50 XAUUSD at 1950.5 sl 0 tp 0"}},
    PlanCase{"BelowTheMinimum", {Image("4711", {kEurBuy})}, Account({}), "lot_multiplier=0.004", {},
             "skip master 4711 #1001 EURUSD: lots 0.00 after the settings and the step 0.01 are below the minimum 0.01"},
    PlanCase{"BelowTheMinimumOfACoarseSymbol", {Image("4711", {Master(1001, kBuy, 0.05, "XAUUSD", 1950.2)})},
             Account({}), "", {}, "below the minimum 0.10"}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Symbols, Plan, testing::Values(
    PlanCase{"ExplicitPair", {Image("4711", {Master(1001, kBuy, 0.5, "GOLD", 1950.2)})}, Account({}),
             "symbol_map=SILVER=XAGUSD, GOLD=XAUUSD", {"open 4711 #1001: buy 0.5 XAUUSD at 1950.5 sl 0 tp 0"}},
    PlanCase{"PairsAnyCase", {Image("4711", {Master(1001, kBuy, 0.5, "gold", 1950.2)})}, Account({}),
             "symbol_map=GOLD=xauusd", {"open 4711 #1001: buy 0.5 XAUUSD at 1950.5 sl 0 tp 0"}},
    PlanCase{"PrefixAndSuffix", {Image("4711", {Master(1001, kBuy, 1, "EURUSD.m", 1.0834)})},
             Account({}, {}, {Eurusd("xEURUSD.pro")}), "master_suffix=.m; slave_prefix=x; slave_suffix=.pro",
             {"open 4711 #1001: buy 1 xEURUSD.pro at 1.0835 sl 0 tp 0"}},
    PlanCase{"PairOfTheNameWithoutSuffix", {Image("4711", {Master(1001, kBuy, 0.5, "GOLD.m", 1950.2)})},
             Account({}), "master_suffix=.m; slave_suffix=.x; symbol_map=GOLD=XAUUSD",
             {"open 4711 #1001: buy 0.5 XAUUSD at 1950.5 sl 0 tp 0"}},
    PlanCase{"NotOffered", {Image("4711", {Master(1002, kBuy, 1, "GBPUSD", 1.25)})}, Account({}),
             "slave_suffix=.x", {}, "skip master 4711 #1002 GBPUSD: symbol GBPUSD.x not offered"},
    PlanCase{"KnownButNotOffered", {Image("4711", {Master(1002, kBuy, 1, "GBPUSD", 1.25)})},
             Account({}, {}, {NotOffered("GBPUSD")}), "", {}, "symbol GBPUSD not offered"}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Reverse, Plan, testing::Values(
    PlanCase{"BuyBecomesSellStopsSwap", {Image("4711", {kEurBuy})}, Account({}), "reverse=yes",
             {"open 4711 #1001: sell 1 EURUSD at 1.0834 sl 1.095 tp 1.075"}},
    PlanCase{"BuyLimitBecomesSellStop",
             {Image("4711", {Master(1003, kBuyLimit, 1, "EURUSD", 1.08).Sl(1.075).Tp(1.09)})}, Account({}),
             "reverse=yes", {"open 4711 #1003: sell stop 1 EURUSD at 1.08 sl 1.09 tp 1.075"}},
    PlanCase{"SellLimitBecomesBuyStop",
             {Image("4711", {Master(1004, kSellLimit, 1, "EURUSD", 1.09).Sl(1.095).Tp(1.085)})}, Account({}),
             "reverse=yes", {"open 4711 #1004: buy stop 1 EURUSD at 1.09 sl 1.085 tp 1.095"}},
    PlanCase{"BuyStopBecomesSellLimit", {Image("4711", {Master(1005, kBuyStop, 1, "EURUSD", 1.09)})}, Account({}),
             "reverse=yes", {"open 4711 #1005: sell limit 1 EURUSD at 1.09 sl 0 tp 0"}},
    PlanCase{"SellStopBecomesBuyLimit", {Image("4711", {Master(1006, kSellStop, 1, "EURUSD", 1.08)})}, Account({}),
             "reverse=yes", {"open 4711 #1006: buy limit 1 EURUSD at 1.08 sl 0 tp 0"}},
    PlanCase{"ReversedPendingFollowsThePrice",
             {Image("4711", {Master(1003, kBuyLimit, 1, "EURUSD", 1.079).Sl(1.074).Tp(1.09)})},
             Account({Slave(5003, kSellStop, 1, "EURUSD", 1.08).Sl(1.09).Tp(1.075).Of("4711", 1003)}), "reverse=yes",
             {"modify #5003 at 1.079 sl 1.09 tp 1.074 exp 0"}},
    PlanCase{"ReversedCopyNotTurnedBackWhenTheSettingChanges", {Image("4711", {kEurBuy.order})},
             Account({Slave(5001, kSell, 1, "EURUSD", 1.0834).Sl(1.095).Tp(1.075).Of("4711", 1001)}), "",
             {}, "copy #5001 of 4711 #1001 is a sell where the settings make a buy; its stops are left alone"}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Pending, Plan, testing::Values(
    PlanCase{"CopiedWithItsExpiration",
             {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Sl(1.075).Tp(1.09).Expires(kNow + 3600)})},
             Account({}), "", {"open 4711 #1005: buy limit 0.5 EURUSD at 1.08 sl 1.075 tp 1.09 exp 1700003600"}},
    PlanCase{"NotCopiedWhenTheSettingsSayNo", {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08)})},
             Account({}), "copy_pending=no", {}, "pending orders are not copied"},
    PlanCase{"TooCloseToTheMarket", {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08345)})},
             Account({}), "", {}, "price 1.08345 too close to the market (stops level 10 points)"},
    PlanCase{"Expired", {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Expires(kNow - 1)})},
             Account({}), "", {}, "expired at 1699999999"},
    PlanCase{"PriceStopsAndExpirationFollowed",
             {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.079).Sl(1.074).Tp(1.09).Expires(kNow + 7200)})},
             Account({Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Sl(1.075).Tp(1.09).Expires(kNow + 3600).Of("4711", 1005)}),
             "", {"modify #5005 at 1.079 sl 1.074 tp 1.09 exp 1700007200"}},
    PlanCase{"WithinHalfAPointIsTheSame",
             {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.080004).Sl(1.0749996).Tp(1.09)})},
             Account({Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Sl(1.075).Tp(1.09).Of("4711", 1005)}), "", {}, ""},
    PlanCase{"NewPriceTooCloseKeepsTheOldOne", {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08345)})},
             Account({Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Of("4711", 1005)}), "", {},
             "copy #5005 of 4711 #1005: price 1.08345 too close to the market (stops level 10 points), keeps 1.08000"},
    PlanCase{"DeletedOnTheMaster", {Image("4711", {}, {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Closed(kNow)})},
             Account({Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Of("4711", 1005)}), "", {"delete #5005"},
             "delete copy #5005 of 4711 #1005: the master deleted #1005"},
    PlanCase{"TriggeredOnTheMasterDeletedThenOpenedAtMarket",
             {Image("4711", {Master(1005, kBuy, 0.5, "EURUSD", 1.0834)})},
             Account({Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Of("4711", 1005)}), "", {"delete #5005"},
             "the master's #1005 was triggered; a market copy follows"},
    PlanCase{"TriggeredMarketCopyOpensOnceThePendingCopyIsGone",
             {Image("4711", {Master(1005, kBuy, 0.5, "EURUSD", 1.0834)})},
             Account({}, {Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Of("4711", 1005)}), "",
             {"open 4711 #1005: buy 0.5 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"TriggeredTooFarAwayForTheGuard", {Image("4711", {Master(1005, kBuy, 0.5, "EURUSD", 1.08)})},
             Account({}, {Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Of("4711", 1005)}), "max_deviation_points=20",
             {}, "price 1.08350 is 350 points from the master's 1.08000 (at most 20)"},
    PlanCase{"TriggeredOnTheSlaveFirstKeepsFollowingStops",
             {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Sl(1.074).Tp(1.09)})},
             Account({Slave(5005, kBuy, 0.5, "EURUSD", 1.08).Sl(1.075).Tp(1.09).Of("4711", 1005)}), "",
             {"modify #5005 at 1.08 sl 1.074 tp 1.09 exp 0"}},
    PlanCase{"DeletedByHandNotPlacedAgain", {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08)})},
             Account({}, {Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Of("4711", 1005)}), "", {},
             "copied before and closed on this account as #5005; not reopened"}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Stops, Plan, testing::Values(
    PlanCase{"TooCloseWhenOpeningWidenedToTheStopsLevel",
             {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Sl(1.08335).Tp(1.08345)})}, Account({}), "",
             {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 1.0833 tp 1.0835"},
             "copy of 4711 #1001: sl 1.08335 too close to the market (stops level 10 points), widened to 1.08330"},
    PlanCase{"StopOnTheWrongSideWidenedToo", {Image("4711", {Master(1001, kSell, 1, "EURUSD", 1.0834).Sl(1.08)})},
             Account({}), "", {"open 4711 #1001: sell 1 EURUSD at 1.0834 sl 1.0836 tp 0"}},
    PlanCase{"PendingStopsWidenedFromItsPrice",
             {Image("4711", {Master(1005, kBuyLimit, 1, "EURUSD", 1.08).Sl(1.07995)})}, Account({}), "",
             {"open 4711 #1005: buy limit 1 EURUSD at 1.08 sl 1.0799 tp 0"}},
    PlanCase{"MarketCopyKeepsItsStopWhileTheMastersIsTooClose",
             {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Sl(1.08335)})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Sl(1.08).Of("4711", 1001)}), "", {},
             "copy #5001 of 4711 #1001: sl 1.08335 too close to the market (stops level 10 points), keeps 1.08000"},
    PlanCase{"MastersNewStopsFollowed", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Sl(1.076).Tp(1.096)})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Sl(1.075).Tp(1.095).Of("4711", 1001)}), "",
             {"modify #5001 at 1.0835 sl 1.076 tp 1.096 exp 0"},
             "modify copy #5001 of 4711 #1001: sl 1.07500 -> 1.07600, tp 1.09500 -> 1.09600"},
    PlanCase{"MasterDropsItsStop", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Tp(1.095)})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Sl(1.075).Tp(1.095).Of("4711", 1001)}), "",
             {"modify #5001 at 1.0835 sl 0 tp 1.095 exp 0"}},
    PlanCase{"NotCopiedWhenOpening", {Image("4711", {kEurBuy})}, Account({}), "copy_stops=no",
             {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"SlaveKeepsItsOwn", {Image("4711", {kEurBuy})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Sl(1.07).Of("4711", 1001)}), "copy_stops=no", {}, ""},
    PlanCase{"SlaveKeepsItsOwnOnAPendingCopy",
             {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.079).Sl(1.074)})},
             Account({Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Sl(1.07).Of("4711", 1005)}), "copy_stops=no",
             {"modify #5005 at 1.079 sl 1.07 tp 0 exp 0"}}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Guards, Plan, testing::Values(
    PlanCase{"PriceMovedTooFar", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0833)})}, Account({}),
             "max_deviation_points=10", {}, "price 1.08350 is 20 points from the master's 1.08330 (at most 10)"},
    PlanCase{"PriceCloseEnough", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.08345)})}, Account({}),
             "max_deviation_points=10", {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"SellMeasuredAtTheBid", {Image("4711", {Master(1001, kSell, 1, "EURUSD", 1.0834)})}, Account({}),
             "max_deviation_points=1", {"open 4711 #1001: sell 1 EURUSD at 1.0834 sl 0 tp 0"}},
    PlanCase{"SignalTooOld", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Opened(kNow - 120)})},
             Account({}), "max_signal_age=60", {}, "signal is 120 s old (at most 60)"},
    PlanCase{"SignalFresh", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Opened(kNow - 30)})},
             Account({}), "max_signal_age=60", {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"OpenedBeforeFollowing", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Opened(kNow - 100)})},
             Following(Account({}), kNow - 10), "", {}, "opened before this account began following"},
    PlanCase{"OpenedBeforeFollowingCopiedWhenAsked",
             {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Opened(kNow - 100)})},
             Following(Account({}), kNow - 10), "copy_old=yes", {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"ChainCountsFromItsRoot",
             {Image("4711", {Master(1002, kBuy, 0.4, "EURUSD", 1.0834).From(1001).Opened(kNow - 100)},
                    {Master(1001, kBuy, 0.6, "EURUSD", 1.0834).To(1002).Opened(kNow - 100).Closed(kNow - 5)})},
             Following(Account({}), kNow - 10), "", {}, "skip master 4711 #1002 EURUSD: opened before"}),
    CaseName);

// ---------------------------------------------------------------------------------------------
// The slave's server an hour behind the masters' (offset 3600) or ahead of it (-3600).
INSTANTIATE_TEST_SUITE_P(TimeZones, Plan, testing::Values(
    PlanCase{"SignalAgeOnTheMastersClock", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Opened(kNow - 30)})},
             Clock(Account({}), kNow + 3600), "max_signal_age=60; master_time_offset=-3600",
             {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"SignalTooOldOnTheMastersClock",
             {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Opened(kNow - 120)})},
             Clock(Account({}), kNow - 3600), "max_signal_age=60; master_time_offset=3600", {},
             "signal is 120 s old (at most 60)"},
    PlanCase{"OpenedBeforeFollowingOnTheMastersClock",
             {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Opened(kNow - 100)})},
             Clock(Account({}), kNow - 3600, kNow - 3610), "master_time_offset=3600", {},
             "opened before this account began following"},
    PlanCase{"OpenedAfterFollowingOnTheMastersClock",
             {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Opened(kNow - 100)})},
             Clock(Account({}), kNow + 3600, kNow + 3600 - 200), "master_time_offset=-3600",
             {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"PendingExpirationOnTheSlavesClock",
             {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Expires(kNow + 7200)})},
             Clock(Account({}), kNow - 3600), "master_time_offset=3600",
             {"open 4711 #1005: buy limit 0.5 EURUSD at 1.08 sl 0 tp 0 exp 1700003600"}, "expires 1700003600"},
    PlanCase{"NoExpirationStaysNone", {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08)})},
             Clock(Account({}), kNow + 3600), "master_time_offset=-3600",
             {"open 4711 #1005: buy limit 0.5 EURUSD at 1.08 sl 0 tp 0"}},
    PlanCase{"ExpiredOnTheMastersClock",
             {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Expires(kNow - 1)})},
             Clock(Account({}), kNow - 3600), "master_time_offset=3600", {}, "expired at 1699996399"},
    PlanCase{"NotYetExpiredOnTheMastersClock",
             {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Expires(kNow + 60)})},
             Clock(Account({}), kNow + 3600), "master_time_offset=-3600",
             {"open 4711 #1005: buy limit 0.5 EURUSD at 1.08 sl 0 tp 0 exp 1700003660"}},
    PlanCase{"CopysExpirationKeptInLineOnTheSlavesClock",
             {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Expires(kNow + 7200)})},
             Clock(Account({Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Expires(kNow + 3000).Of("4711", 1005)}),
                   kNow - 3600),
             "master_time_offset=3600", {"modify #5005 at 1.08 sl 0 tp 0 exp 1700003600"},
             "expiration 1700003000 -> 1700003600"},
    PlanCase{"CopysExpirationAlreadyInLine",
             {Image("4711", {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Expires(kNow + 7200)})},
             Clock(Account({Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Expires(kNow + 3600).Of("4711", 1005)}),
                   kNow - 3600),
             "master_time_offset=3600", {}, ""}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Filters, Plan, testing::Values(
    PlanCase{"SymbolNotAllowed", {Image("4711", {kEurBuy})}, Account({}), "allow_symbols=GBPUSD", {},
             "symbol filtered out by the settings"},
    PlanCase{"SymbolDenied", {Image("4711", {kEurBuy})}, Account({}), "deny_symbols=eurusd", {},
             "symbol filtered out by the settings"},
    PlanCase{"DeniedWinsOverAllowed", {Image("4711", {kEurBuy})}, Account({}), "allow_symbols=EURUSD; deny_symbols=EURUSD",
             {}, "symbol filtered out by the settings"},
    PlanCase{"AllowedByTheSlavesName", {Image("4711", {Master(1001, kBuy, 0.5, "GOLD", 1950.2)})}, Account({}),
             "symbol_map=GOLD=XAUUSD; allow_symbols=XAUUSD", {"open 4711 #1001: buy 0.5 XAUUSD at 1950.5 sl 0 tp 0"}},
    PlanCase{"MagicNotAllowed", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Magic(7)})}, Account({}),
             "allow_magics=42, 43", {}, "magic 7 is not among the allowed"},
    PlanCase{"MagicAllowed", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Magic(43)})}, Account({}),
             "allow_magics=42, 43", {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"CommentContains", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Comment("Scalper v2")})},
             Account({}), "comment_contains=scalp", {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"CommentLacks", {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Comment("swing")})},
             Account({}), "comment_contains=scalp", {}, "comment lacks \"scalp\""},
    PlanCase{"MasterNotFollowed", {Image("4711", {kEurBuy})}, Account({}), "masters=4712", {},
             "skip master 4711: not among the followed masters"},
    PlanCase{"OnlyTheFollowedMaster",
             {Image("4711", {kEurBuy}), Image("4712", {Master(1001, kSell, 0.3, "EURUSD", 1.0834)})}, Account({}),
             "masters=4712", {"open 4712 #1001: sell 0.3 EURUSD at 1.0834 sl 0 tp 0"}},
    PlanCase{"CopiedByAnotherExpert", {Image("4711", {kEurBuy})}, CopiedElsewhere(Account({}), "4711", 3), "", {},
             "login 4711 is copied by the expert on chart 3"},
    PlanCase{"FiltersDoNotOrphanOpenCopies", {Image("4711", {}, {kEurBuy.order})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Of("4711", 1001)}), "deny_symbols=EURUSD",
             {"close #5001 1"}}),
    CaseName);

// ---------------------------------------------------------------------------------------------
const Master kClosedBuy = Master(1001, kBuy, 1, "EURUSD", 1.0834).Closed(kNow - 2);

INSTANTIATE_TEST_SUITE_P(Closes, Plan, testing::Values(
    PlanCase{"WhatTheMasterClosed", {Image("4711", {}, {kClosedBuy})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Of("4711", 1001)}), "", {"close #5001 1"},
             "close copy #5001 of 4711 #1001: 1.00 lots; the master closed #1001"},
    PlanCase{"NothingWhenTheMasterIsGone", {},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Of("4711", 1001)}), "", {}, ""},
    PlanCase{"NothingWhenTheMastersImageIsEmpty", {Image("4711", {})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Of("4711", 1001)}), "", {}, ""},
    PlanCase{"NothingForAMasterNoLongerFollowed", {Image("4711", {}, {kClosedBuy})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Of("4711", 1001)}), "masters=4712", {}, ""},
    PlanCase{"OnlyTheCopiesOfThatMaster", {Image("4711", {}, {kClosedBuy}), Image("4712", {kEurBuy})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Sl(1.075).Tp(1.095).Of("4712", 1001),
                      Slave(5002, kBuy, 1, "EURUSD", 1.0835).Of("4711", 1001)}),
             "", {"close #5002 1"}},
    PlanCase{"ClosedOnTheSlaveNotReopened", {Image("4711", {kEurBuy})},
             Account({}, {Slave(5001, kBuy, 1, "EURUSD", 1.0835).Sl(1.075).Tp(1.095).Of("4711", 1001)}), "", {},
             "skip master 4711 #1001 EURUSD: copied before and closed on this account as #5001; not reopened"},
    PlanCase{"ClosedPendingCopyOfAMarketOrderDeleted",
             {Image("4711", {}, {Master(1005, kBuy, 0.5, "EURUSD", 1.08).Closed(kNow)})},
             Account({Slave(5005, kBuyLimit, 0.5, "EURUSD", 1.08).Of("4711", 1005)}), "", {"delete #5005"}},
    PlanCase{"MarketCopyOfADeletedPendingClosed",
             {Image("4711", {}, {Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Closed(kNow)})},
             Account({Slave(5005, kBuy, 0.5, "EURUSD", 1.08).Of("4711", 1005)}), "", {"close #5005 0.5"}},
    PlanCase{"ClosesComeFirst", {Image("4711", {kEurBuy}, {Master(1000, kSell, 1, "EURUSD", 1.09).Closed(kNow)})},
             Account({Slave(5000, kSell, 1, "EURUSD", 1.09).Of("4711", 1000)}), "",
             {"close #5000 1", "open 4711 #1001: buy 1 EURUSD at 1.0835 sl 1.075 tp 1.095"}}),
    CaseName);

// ---------------------------------------------------------------------------------------------
// 1001 was opened with 1.0 lot; 0.6 closed left 1002 with 0.4.
const Master kFirstPart = Master(1001, kBuy, 0.6, "EURUSD", 1.0834).To(1002).Closed(kNow - 3);
const Master kRemainder = Master(1002, kBuy, 0.4, "EURUSD", 1.0834).From(1001);

INSTANTIATE_TEST_SUITE_P(PartialCloses, Plan, testing::Values(
    PlanCase{"OnTheMasterToTheSameShare", {Image("4711", {kRemainder}, {kFirstPart})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Of("4711", 1001)}), "", {"partial close #5001 0.6"},
             "partial close of copy #5001 of 4711 #1001: 0.60 of 1.00 lots; the master holds 0.40 of 1.00 lots, "
             "the copies are to hold 0.40"},
    PlanCase{"WithAMultiplier", {Image("4711", {kRemainder}, {kFirstPart})},
             Account({Slave(5001, kBuy, 0.5, "EURUSD", 1.0835).Of("4711", 1001)}), "lot_multiplier=0.5",
             {"partial close #5001 0.3"}},
    PlanCase{"WithFixedLots",
             {Image("4711", {Master(1002, kBuy, 0.5, "EURUSD", 1.0834).From(1001)},
                    {Master(1001, kBuy, 0.5, "EURUSD", 1.0834).To(1002).Closed(kNow - 3)})},
             Account({Slave(5001, kBuy, 0.1, "EURUSD", 1.0835).Of("4711", 1001)}), "fixed_lots=0.1",
             {"partial close #5001 0.05"}},
    PlanCase{"NeverBelowTheMinimum", {Image("4711", {kRemainder}, {kFirstPart})},
             Account({Slave(5001, kBuy, 0.01, "EURUSD", 1.0835).Of("4711", 1001)}), "lot_multiplier=0.01", {}, ""},
    PlanCase{"ClosingLessThanTheMinimumIsLeft",
             {Image("4711", {Master(1002, kBuy, 0.95, "EURUSD", 1.0834).From(1001)},
                    {Master(1001, kBuy, 0.05, "EURUSD", 1.0834).To(1002).Closed(kNow - 3)})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Of("4711", 1001)}, {}, {MinimumLots(Eurusd(), 0.1)}),
             "", {}, "but 0.05 lots are below the minimum 0.10 to close"},
    PlanCase{"ReducedOnTheSlaveNotEnlarged", {Image("4711", {kRemainder}, {kFirstPart})},
             Account({Slave(9002, kBuy, 0.3, "EURUSD", 1.0835).Of("4711", 1001)},
                     {Slave(5001, kBuy, 0.7, "EURUSD", 1.0835).Of("4711", 1001)}),
             "", {}, ""},
    PlanCase{"OnTheSlaveItStillFollowsTheMaster", {Image("4711", {}, {kClosedBuy})},
             Account({Slave(9002, kBuy, 0.3, "EURUSD", 1.0835).Of("4711", 1001)},
                     {Slave(5001, kBuy, 0.7, "EURUSD", 1.0835).Of("4711", 1001)}),
             "", {"close #9002 0.3"}},
    PlanCase{"ALaterSettingResizesNothing", {Image("4711", {kEurBuy})},
             Account({Slave(5001, kBuy, 1, "EURUSD", 1.0835).Sl(1.075).Tp(1.095).Of("4711", 1001)}),
             "lot_multiplier=0.5", {}, ""},
    PlanCase{"TwiceOnTheMaster",
             {Image("4711", {Master(1003, kBuy, 0.4, "EURUSD", 1.0834).From(1002)},
                    {Master(1001, kBuy, 0.3, "EURUSD", 1.0834).To(1002).Closed(kNow - 9),
                     Master(1002, kBuy, 0.3, "EURUSD", 1.0834).To(1003).Closed(kNow - 3)})},
             Account({Slave(9002, kBuy, 0.7, "EURUSD", 1.0835).Of("4711", 1001)}), "", {"partial close #9002 0.3"}},
    PlanCase{"CopiedLateAtTheRemaindersShare", {Image("4711", {kRemainder}, {kFirstPart})}, Account({}),
             "fixed_lots=1", {"open 4711 #1001: buy 0.4 EURUSD at 1.0835 sl 0 tp 0"}},
    PlanCase{"WholeChainClosed",
             {Image("4711", {}, {kFirstPart, Master(1002, kBuy, 0.4, "EURUSD", 1.0834).From(1001).Closed(kNow)})},
             Account({Slave(9002, kBuy, 0.4, "EURUSD", 1.0835).Of("4711", 1001)}), "", {"close #9002 0.4"}},
    PlanCase{"WholeChainClosedAfterItsRootLeftTheHistory",
             {Image("4711", {}, {Master(1002, kBuy, 0.4, "EURUSD", 1.0834).From(1001).Closed(kNow)})},
             Account({Slave(9002, kBuy, 0.4, "EURUSD", 1.0835).Of("4711", 1001)}), "", {"close #9002 0.4"}},
    PlanCase{"MiddleOfTheChainMissingFromAClosedChain",
             {Image("4711", {}, {Master(1001, kBuy, 0.3, "EURUSD", 1.0834).To(1002).Closed(kNow - 9),
                                 Master(1003, kBuy, 0.4, "EURUSD", 1.0834).From(1002).Closed(kNow)})},
             Account({Slave(9002, kBuy, 0.4, "EURUSD", 1.0835).Of("4711", 1001)}), "", {"close #9002 0.4"}},
    PlanCase{"IncompleteOpenChainNotCopied",
             {Image("4711", {Master(1003, kBuy, 0.4, "EURUSD", 1.0834).From(1002)})}, Account({}), "", {},
             "skip master 4711 #1003 EURUSD: the history of its partial closes is incomplete (back to #1002)"}),
    CaseName);

}  // namespace
