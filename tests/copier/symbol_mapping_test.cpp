#include "symbol_mapping.h"

#include <gtest/gtest.h>

#include "copier_builders.h"

namespace {

struct SymbolCase {
  const char* settings_text;
  const char* master;
  const char* slave;
};

TEST(SlaveSymbol, PairsFirstThenAffixes) {
  const SymbolCase cases[] = {
      {"", "EURUSD", "EURUSD"},
      {"slave_suffix=.m", "EURUSD", "EURUSD.m"},
      {"master_suffix=.m", "EURUSD.M", "EURUSD"},            // any case
      {"master_suffix=.m", "EURUSD", "EURUSD"},              // only where it has one
      {"master_suffix=.m", ".m", ".m"},                      // never down to nothing
      {"master_prefix=x; slave_prefix=y", "xEURUSD", "yEURUSD"},
      {"master_prefix=x; master_suffix=.m; slave_suffix=.pro", "xEURUSD.m", "EURUSD.pro"},
      {"symbol_map=GOLD=XAUUSD; slave_suffix=.pro", "GOLD", "XAUUSD"},  // a pair is taken as it is
      {"symbol_map=GOLD.m=XAU1, GOLD=XAU2; master_suffix=.m", "GOLD.m", "XAU1"},
      {"symbol_map=GOLD=XAU2; master_suffix=.m", "GOLD.m", "XAU2"},
  };
  for (const SymbolCase& c : cases) {
    ParsedSettings parsed = ParseCopySettings(c.settings_text);
    ASSERT_TRUE(parsed.problems.empty()) << c.settings_text;
    EXPECT_EQ(SlaveSymbol(parsed.settings, c.master), c.slave) << c.settings_text << " " << c.master;
  }
}

TEST(SymbolsToLookUp, MappedMasterSymbolsAndTheSlavesOwnEachOnce) {
  ParsedSettings parsed = ParseCopySettings("slave_suffix=.m");
  std::vector<TImage> masters = {
      Image("4711", {Master(1, kBuy, 1, "EURUSD", 1.08), Master(2, kSell, 1, "EURUSD", 1.08)},
            {Master(3, kBuy, 1, "USDJPY", 150).Closed(kNow)}),
      Image("4712", {Master(1, kBuy, 1, "XAUUSD", 1950)}),
  };
  std::vector<SlaveOrder> open = {Slave(5, kBuy, 1, "eurusd.m", 1.08), Slave(6, kBuy, 1, "GBPUSD", 1.25)};
  EXPECT_EQ(SymbolsToLookUp(masters, open, parsed.settings),
            (std::vector<std::string>{"EURUSD.m", "XAUUSD.m", "GBPUSD"}));
}

}  // namespace
