// Lots and prices on the slave symbol's grid.
#include "copy_lots.h"

#include <gtest/gtest.h>

#include "copier_builders.h"
#include "order_types.h"
#include "price_rules.h"

namespace {

struct LotsCase {
  const char* settings_text;
  double remainder;
  double original;
  double step;
  double max;
  double lots;
};

TEST(CopyLots, SettingsThenStepThenMaximum) {
  const LotsCase cases[] = {
      {"", 1.0, 1.0, 0.01, 100, 1.0},
      {"lot_multiplier=0.5", 0.4, 1.0, 0.01, 100, 0.2},
      {"lot_multiplier=0.339", 1.0, 1.0, 0.01, 100, 0.33},      // rounded down
      {"lot_multiplier=0.1", 3.0, 3.0, 0.1, 100, 0.3},          // 0.3 / 0.1 stays three steps
      {"lot_multiplier=3", 0.1, 0.1, 0.1, 100, 0.3},
      {"", 0.7, 0.7, 0.1, 100, 0.7},
      {"", 1.005, 1.005, 0.001, 100, 1.005},
      {"fixed_lots=0.1", 3.0, 3.0, 0.01, 100, 0.1},
      {"fixed_lots=0.1", 0.5, 1.0, 0.01, 100, 0.05},            // the master's share
      {"fixed_lots=0.1", 0.3, 1.0, 0.01, 100, 0.03},
      {"lot_multiplier=10; max_lots=2.5", 1.0, 1.0, 0.01, 100, 2.5},
      {"lot_multiplier=10; max_lots=2.555", 1.0, 1.0, 0.01, 100, 2.55},
      {"", 80, 80, 0.1, 50, 50},
      {"", 80, 80, 0.1, 49.95, 49.9},                           // a maximum off the grid
      {"lot_multiplier=0.004", 1.0, 1.0, 0.01, 100, 0},
      {"lot_multiplier=1e300", 1e300, 1e300, 0.01, 100, 100},
  };
  for (const LotsCase& c : cases) {
    SymbolFacts facts = Eurusd();
    facts.lot_step = c.step;
    facts.lot_max = c.max;
    ParsedSettings parsed = ParseCopySettings(c.settings_text);
    ASSERT_TRUE(parsed.problems.empty());
    EXPECT_DOUBLE_EQ(CopyLots(parsed.settings, c.remainder, c.original, facts), c.lots)
        << c.settings_text << " " << c.remainder << " of " << c.original;
  }
}

struct StopCase {
  int32_t type;
  double reference;
  double stop_loss;
  double take_profit;
  bool stop_loss_fits;
  bool take_profit_fits;
};

TEST(StopRules, AtLeastTheStopsLevelOnTheRightSide) {
  // Stops level 10 points of 0.00001.
  const StopCase cases[] = {
      {kBuy, 1.08340, 1.08330, 1.08350, true, true},    // exactly the level
      {kBuy, 1.08340, 1.08331, 1.08349, false, false},  // a point short
      {kBuy, 1.08340, 1.08400, 1.08000, false, false},  // wrong sides
      {kBuy, 1.08340, 0, 0, true, true},                // none
      {kSell, 1.08350, 1.08360, 1.08340, true, true},
      {kSell, 1.08350, 1.08359, 1.08341, false, false},
      {kBuyLimit, 1.08000, 1.07990, 1.08010, true, true},
      {kSellStop, 1.08000, 1.08010, 1.07990, true, true},
      {kSellStop, 1.08000, 1.07990, 1.08010, false, false},
  };
  SymbolFacts facts = Eurusd();
  for (const StopCase& c : cases) {
    EXPECT_EQ(StopLossFits(c.type, c.reference, c.stop_loss, facts), c.stop_loss_fits) << c.type << " " << c.stop_loss;
    EXPECT_EQ(TakeProfitFits(c.type, c.reference, c.take_profit, facts), c.take_profit_fits)
        << c.type << " " << c.take_profit;
  }
  EXPECT_DOUBLE_EQ(WidenedStopLoss(kBuy, 1.08340, facts), 1.08330);
  EXPECT_DOUBLE_EQ(WidenedTakeProfit(kSell, 1.08350, facts), 1.08340);
  facts.stops_level = 0;  // still a point away: a stop at the price closes at once
  EXPECT_FALSE(StopLossFits(kBuy, 1.08340, 1.08340, facts));
  EXPECT_DOUBLE_EQ(WidenedStopLoss(kBuy, 1.08340, facts), 1.08339);
}

TEST(StopRules, PendingPricesKeepTheirDistanceFromTheMarket) {
  // Bid 1.08340, ask 1.08350, level 10 points.
  const struct {
    int32_t type;
    double price;
    bool fits;
  } cases[] = {
      {kBuyLimit, 1.08340, true},  {kBuyLimit, 1.08341, false}, {kSellLimit, 1.08350, true},
      {kSellLimit, 1.08349, false}, {kBuyStop, 1.08360, true},  {kBuyStop, 1.08359, false},
      {kSellStop, 1.08330, true},  {kSellStop, 1.08331, false}, {kBuy, 1.08, false},
  };
  SymbolFacts facts = Eurusd();
  for (const auto& c : cases) EXPECT_EQ(PendingPriceFits(c.type, c.price, facts), c.fits) << c.type << " " << c.price;
}

TEST(SymbolFactsUsable, RefusesWhatWouldDivideByZeroOrLoop) {
  SymbolFacts good = Eurusd();
  EXPECT_TRUE(SymbolFactsUsable(good));
  SymbolFacts bad[8] = {good, good, good, good, good, good, good, good};
  bad[0].point = 0;
  bad[1].lot_step = 0;
  bad[2].lot_min = 0;
  bad[3].lot_max = 0.001;
  bad[4].digits = 40;
  bad[5].stops_level = -1;
  bad[6].point = std::numeric_limits<double>::quiet_NaN();
  bad[7].bid = std::numeric_limits<double>::infinity();
  for (const SymbolFacts& facts : bad) EXPECT_FALSE(SymbolFactsUsable(facts));
}

}  // namespace
