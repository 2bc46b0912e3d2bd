// The netting account's planner, row by row: masters' orders and the account's positions in,
// deals out. Every row is also dealt to its end: the plan must settle, asking nothing more,
// within three rounds.
#include "net_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "copier_builders.h"
#include "copy_memory.h"
#include "copy_settings.h"

namespace {

// "open buy 0.5 EURUSD", "partial close buy 0.6 EURUSD", "close sell 1 EURUSD".
std::vector<std::string> Deals(const std::vector<CopyAction>& actions) {
  std::vector<std::string> lines;
  for (const CopyAction& a : actions) {
    std::ostringstream line;
    line << ActionKindName(a.kind) << " " << OrderTypeName(a.type) << " " << a.lots << " " << a.symbol;
    lines.push_back(line.str());
  }
  return lines;
}

// The deal as a netting account books it: one position a symbol.
void Book(const CopyAction& a, SlaveState& slave) {
  double change = (IsBuyType(a.type) == (a.kind == ActionKind::kOpen)) ? a.lots : -a.lots;
  double net = change;
  for (auto it = slave.open.begin(); it != slave.open.end(); ++it) {
    if (it->symbol != a.symbol) continue;
    net += IsBuyType(it->type) ? it->lots : -it->lots;
    slave.open.erase(it);
    break;
  }
  net = std::round(net * 1e8) / 1e8;
  if (net != 0) slave.open.push_back(Slave(7001, net > 0 ? kBuy : kSell, std::fabs(net), a.symbol.c_str(), a.price));
}

struct NetCase {
  const char* name;
  std::vector<TImage> masters;
  SlaveState slave;
  const char* settings;
  std::vector<std::string> deals;
  const char* log = "";               // a line of the first plan's log holds this
  std::vector<std::string> then = {};  // the next plan's deals, once the first are booked
};

void PrintTo(const NetCase& c, std::ostream* out) { *out << c.name; }

class NetPlan : public testing::TestWithParam<NetCase> {};

TEST_P(NetPlan, DealsTheseAndThenNothing) {
  const NetCase& c = GetParam();
  ParsedSettings parsed = ParseCopySettings(c.settings);
  ASSERT_TRUE(parsed.problems.empty()) << parsed.problems.front();
  CopyMemory memory;
  CopyPlan plan = PlanNetCopy(c.masters, c.slave, parsed.settings, memory);

  EXPECT_EQ(Deals(plan.actions), c.deals);
  bool logged = !*c.log;
  for (const std::string& line : plan.log) logged = logged || line.find(c.log) != std::string::npos;
  EXPECT_TRUE(logged) << "no log line holds \"" << c.log << "\"";

  SlaveState slave = c.slave;
  for (int round = 0; round < 3 && !plan.actions.empty(); round++) {
    for (const CopyAction& action : plan.actions) Book(action, slave);
    plan = PlanNetCopy(c.masters, slave, parsed.settings, memory);
    if (round == 0 && !c.then.empty()) EXPECT_EQ(Deals(plan.actions), c.then);
  }
  EXPECT_EQ(Deals(plan.actions), std::vector<std::string>{}) << "still dealing after three rounds";
}

std::string CaseName(const testing::TestParamInfo<NetCase>& info) { return info.param.name; }

const Master kEurBuy = Master(1001, kBuy, 1.0, "EURUSD", 1.08340).Sl(1.075);
const Master kEurSell = Master(1002, kSell, 0.3, "EURUSD", 1.08340);
// 1001 was opened with 1.0 lot; 0.6 closed left 1002 with 0.4.
const Master kFirstPart = Master(1001, kBuy, 0.6, "EURUSD", 1.0834).To(1002).Closed(kNow - 3);
const Master kRemainder = Master(1002, kBuy, 0.4, "EURUSD", 1.0834).From(1001);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Nets, NetPlan, testing::Values(
    NetCase{"OppositeMastersNetOut", {Image("4711", {kEurBuy}), Image("4712", {kEurSell})}, Account({}), "",
            {"open buy 0.7 EURUSD"},
            "open EURUSD: buy 0.70 at 1.08350; holds none, the masters make buy 0.70 (4711 #1001 buy 1.00, "
            "4712 #1002 sell 0.30)"},
    NetCase{"EqualOppositeOrdersDealNothing",
            {Image("4711", {kEurBuy, Master(1003, kSell, 1, "EURUSD", 1.0834)})}, Account({}), "", {}},
    NetCase{"AddsToThePosition", {Image("4711", {kEurBuy})}, Account({Slave(7001, kBuy, 0.5, "EURUSD", 1.08)}), "",
            {"open buy 0.5 EURUSD"}, "add to EURUSD: buy 0.50"},
    NetCase{"ClosedWithTheMastersLastOrder", {Image("4711", {}, {kEurBuy.order})},
            Account({Slave(7001, kBuy, 1, "EURUSD", 1.08)}), "", {"close buy 1 EURUSD"},
            "close EURUSD: sell 1.00 at 1.08340; holds buy 1.00, the masters make none"},
    NetCase{"ReversedByACloseThenAnOpen", {Image("4711", {Master(1003, kSell, 0.5, "EURUSD", 1.0834)})},
            Account({Slave(7001, kBuy, 1, "EURUSD", 1.08)}), "", {"close buy 1 EURUSD"}, "; the sell 0.50 follows",
            {"open sell 0.5 EURUSD"}},
    NetCase{"OtherSymbolsLeftAlone", {Image("4711", {kEurBuy})}, Account({Slave(7001, kSell, 2, "GBPUSD", 1.25)}),
            "", {"open buy 1 EURUSD"}}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(PartialCloses, NetPlan, testing::Values(
    NetCase{"ReduceTheNetByTheMastersShare", {Image("4711", {kRemainder}, {kFirstPart}), Image("4712", {kEurSell})},
            Account({Slave(7001, kBuy, 0.7, "EURUSD", 1.08)}), "", {"partial close buy 0.6 EURUSD"},
            "reduce EURUSD: sell 0.60"},
    NetCase{"WithFixedLots", {Image("4711", {kRemainder}, {kFirstPart})},
            Account({Slave(7001, kBuy, 0.1, "EURUSD", 1.08)}), "fixed_lots=0.1", {"partial close buy 0.06 EURUSD"}}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Lots, NetPlan, testing::Values(
    NetCase{"DifferenceRoundedTowardZeroToTheStep", {Image("4711", {kEurBuy})},
            Account({Slave(7001, kBuy, 0.335, "EURUSD", 1.08)}), "", {"open buy 0.66 EURUSD"}},
    NetCase{"ReductionRoundedTowardZeroToo", {Image("4711", {kEurBuy})},
            Account({Slave(7001, kBuy, 1.337, "EURUSD", 1.08)}), "", {"partial close buy 0.33 EURUSD"}},
    NetCase{"BelowTheMinimumNotDealt", {Image("4711", {Master(1001, kBuy, 1.05, "EURUSD", 1.0834)})},
            Account({Slave(7001, kBuy, 1, "EURUSD", 1.08)}, {}, {MinimumLots(Eurusd(), 0.1)}), "", {},
            "skip EURUSD: 0.05 lots to buy after the step 0.01 are below the minimum 0.10; holds buy 1.00"},
    NetCase{"AtMostTheSymbolsMaximumADeal",
            {Image("4711", {Master(1001, kBuy, 40, "XAUUSD", 1950)}),
             Image("4712", {Master(1001, kBuy, 40, "XAUUSD", 1950)})},
            Account({}), "", {"open buy 50 XAUUSD"}, "", {"open buy 30 XAUUSD"}}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(Settings, NetPlan, testing::Values(
    NetCase{"SlaveSuffix", {Image("4711", {kEurBuy})}, Account({}, {}, {Eurusd("EURUSD.m")}), "slave_suffix=.m",
            {"open buy 1 EURUSD.m"}},
    NetCase{"TwoMasterNamesOneSlaveSymbol",
            {Image("4711", {Master(1001, kBuy, 0.5, "GOLD", 1950)}),
             Image("4712", {Master(1001, kSell, 0.2, "XAUUSD", 1950)})},
            Account({}), "symbol_map=GOLD=XAUUSD", {"open buy 0.3 XAUUSD"}},
    NetCase{"Reverse", {Image("4711", {kEurBuy}), Image("4712", {kEurSell})}, Account({}), "reverse=yes",
            {"open sell 0.7 EURUSD"}},
    NetCase{"ReversedPartialClose", {Image("4711", {kRemainder}, {kFirstPart})},
            Account({Slave(7001, kSell, 1, "EURUSD", 1.08)}), "reverse=yes", {"partial close sell 0.6 EURUSD"}},
    NetCase{"DeniedSymbolLeftAlone", {Image("4711", {}, {kEurBuy.order})},
            Account({Slave(7001, kBuy, 1, "EURUSD", 1.08)}), "deny_symbols=EURUSD", {}},
    NetCase{"FilteredOrderCountsNothing",
            {Image("4711", {kEurBuy, Master(1003, kSell, 0.4, "EURUSD", 1.0834).Magic(7)})},
            Account({}), "allow_magics=0", {"open buy 1 EURUSD"}, "its magic is not among the allowed"},
    NetCase{"PendingOrdersNotCopied", {Image("4711", {Master(1005, kBuyLimit, 1, "EURUSD", 1.08)})}, Account({}), "",
            {}, "pending orders are not copied on a netting account"}),
    CaseName);

// ---------------------------------------------------------------------------------------------
INSTANTIATE_TEST_SUITE_P(LeftAlone, NetPlan, testing::Values(
    NetCase{"MasterMissingFromTheSet", {}, Account({Slave(7001, kBuy, 1, "EURUSD", 1.08)}), "", {}},
    NetCase{"NamedMasterMissingFromTheSet", {Image("4711", {}, {kEurBuy.order})},
            Account({Slave(7001, kBuy, 1, "EURUSD", 1.08)}), "masters=4711, 4712", {},
            "skip EURUSD: master 4712 is missing from the set; its position is left alone"},
    NetCase{"IncompleteHistoryOfPartialCloses",
            {Image("4711", {Master(1003, kBuy, 0.4, "EURUSD", 1.0834).From(1002)})},
            Account({Slave(7001, kBuy, 1, "EURUSD", 1.08)}), "", {}, "the history of the partial closes of 4711 #1003"}),
    CaseName);

// ---------------------------------------------------------------------------------------------
TEST(NetPlanMemory, RefusedDealStandsUntilTheTargetChanges) {
  CopyMemory memory;
  SlaveState slave = Account({});
  std::vector<TImage> masters = {Image("4711", {kEurBuy})};
  CopyPlan plan = PlanNetCopy(masters, slave, {}, memory);
  ASSERT_EQ(plan.actions.size(), 1u);
  memory.Record(plan.actions[0], 10019, slave.now);

  slave.now += 600;
  plan = PlanNetCopy(masters, slave, {}, memory);
  EXPECT_EQ(Deals(plan.actions), std::vector<std::string>{});
  EXPECT_EQ(plan.log.back(), "skip EURUSD: open refused: 10019 no money");

  masters = {Image("4711", {kEurBuy, kEurSell})};
  plan = PlanNetCopy(masters, slave, {}, memory);
  EXPECT_EQ(Deals(plan.actions), std::vector<std::string>{"open buy 0.7 EURUSD"});
}

TEST(NetPlanMemory, DealAfterATimeoutNotSentAgainUntilItShows) {
  CopyMemory memory;
  SlaveState slave = Account({});
  std::vector<TImage> masters = {Image("4711", {kEurBuy})};
  CopyPlan plan = PlanNetCopy(masters, slave, {}, memory);
  memory.Record(plan.actions.at(0), 10012, slave.now);

  slave.now += 5;
  plan = PlanNetCopy(masters, slave, {}, memory);
  EXPECT_EQ(Deals(plan.actions), std::vector<std::string>{});
  // The deal shows; the master adds at once: the hold is over.
  slave.open = {Slave(7001, kBuy, 1, "EURUSD", 1.0835)};
  masters = {Image("4711", {kEurBuy, Master(1003, kBuy, 0.2, "EURUSD", 1.0834)})};
  plan = PlanNetCopy(masters, slave, {}, memory);
  EXPECT_EQ(Deals(plan.actions), std::vector<std::string>{"open buy 0.2 EURUSD"});
}

}  // namespace
