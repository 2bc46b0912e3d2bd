#include "copy_settings.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct SettingsCase {
  const char* text;
  std::function<void(CopySettings&)> change;  // what the text changes from the defaults
};

TEST(ParseCopySettings, ReadsEveryKey) {
  const SettingsCase cases[] = {
      {"", [](CopySettings&) {}},
      {"lot_multiplier=0.5", [](CopySettings& s) { s.lot_multiplier = 0.5; }},
      {"fixed_lots = 0.10", [](CopySettings& s) { s.fixed_lots = 0.1; }},
      {"max_lots=2", [](CopySettings& s) { s.max_lots = 2; }},
      {"symbol_map=GOLD=XAUUSD, SILVER = XAGUSD",
       [](CopySettings& s) { s.symbol_map = {{"GOLD", "XAUUSD"}, {"SILVER", "XAGUSD"}}; }},
      {"master_prefix=m_;master_suffix=.m;slave_prefix=x;slave_suffix=.pro",
       [](CopySettings& s) { s.master_prefix = "m_", s.master_suffix = ".m", s.slave_prefix = "x", s.slave_suffix = ".pro"; }},
      {"reverse=yes", [](CopySettings& s) { s.reverse = true; }},
      {"copy_pending=no", [](CopySettings& s) { s.copy_pending = false; }},
      {"copy_stops=off", [](CopySettings& s) { s.copy_stops = false; }},
      {"max_deviation_points=30", [](CopySettings& s) { s.max_deviation_points = 30; }},
      {"max_signal_age=60", [](CopySettings& s) { s.max_signal_age = 60; }},
      {"copy_old=TRUE", [](CopySettings& s) { s.copy_old = true; }},
      {"allow_symbols=EURUSD,GBPUSD", [](CopySettings& s) { s.allow_symbols = {"EURUSD", "GBPUSD"}; }},
      {"deny_symbols=XAUUSD", [](CopySettings& s) { s.deny_symbols = {"XAUUSD"}; }},
      {"allow_magics=0, 42, -7", [](CopySettings& s) { s.allow_magics = {0, 42, -7}; }},
      {"comment_contains=from #", [](CopySettings& s) { s.comment_contains = "from #"; }},
      {"masters=4711, 4712", [](CopySettings& s) { s.masters = {"4711", "4712"}; }},
      {"master_time_offset=-3600", [](CopySettings& s) { s.master_time_offset = -3600; }},
      {"master_time_offset=172800", [](CopySettings& s) { s.master_time_offset = 172800; }},
      {"netting=yes; masters=4711", [](CopySettings& s) { s.netting = true, s.masters = {"4711"}; }},
      // Separators, blanks, case, remarks, repeats.
      {"  LOT_Multiplier  =  2  \r\n# a remark\n\n;;Reverse=On",
       [](CopySettings& s) { s.lot_multiplier = 2, s.reverse = true; }},
      {"lot_multiplier=2\nlot_multiplier=3", [](CopySettings& s) { s.lot_multiplier = 3; }},
      {"masters=4711\nmasters=4712", [](CopySettings& s) { s.masters = {"4711", "4712"}; }},
      {"symbol_map=GOLD=XAUUSD;symbol_map=OIL=BRENT=X",
       [](CopySettings& s) { s.symbol_map = {{"GOLD", "XAUUSD"}, {"OIL", "BRENT=X"}}; }},
      {"allow_symbols=,EURUSD,,", [](CopySettings& s) { s.allow_symbols = {"EURUSD"}; }},
      {"comment_contains=", [](CopySettings&) {}},
  };
  for (const SettingsCase& c : cases) {
    CopySettings expected;
    c.change(expected);
    ParsedSettings parsed = ParseCopySettings(c.text);
    EXPECT_TRUE(parsed.problems.empty()) << c.text << ": " << parsed.problems.front();
    EXPECT_TRUE(parsed.settings == expected) << c.text;
  }
}

struct ProblemCase {
  const char* text;
  std::vector<std::string> problems;
};

TEST(ParseCopySettings, ReportsUnknownKeysAndBadValuesAndKeepsTheDefaults) {
  const ProblemCase cases[] = {
      {"lotz=1", {"lotz=1: unknown key"}},
      {"reverse", {"reverse: no '=' and value"}},
      {"=5", {"=5: unknown key"}},
      {"lot_multiplier=abc", {"lot_multiplier=abc: not a number above 0"}},
      {"lot_multiplier=0", {"lot_multiplier=0: not a number above 0"}},
      {"lot_multiplier=-1", {"lot_multiplier=-1: not a number above 0"}},
      {"lot_multiplier=1.5x", {"lot_multiplier=1.5x: not a number above 0"}},
      {"lot_multiplier=1,5", {"lot_multiplier=1,5: not a number above 0"}},
      {"lot_multiplier=inf", {"lot_multiplier=inf: not a number above 0"}},
      {"lot_multiplier=nan", {"lot_multiplier=nan: not a number above 0"}},
      {"lot_multiplier=1e999", {"lot_multiplier=1e999: not a number above 0"}},
      {"fixed_lots=-0.1", {"fixed_lots=-0.1: not a number of 0 or more"}},
      {"max_lots=", {"max_lots=: not a number of 0 or more"}},
      {"reverse=maybe", {"reverse=maybe: not yes or no"}},
      {"max_deviation_points=2.5", {"max_deviation_points=2.5: not a whole number of 0 or more"}},
      {"max_signal_age=-1", {"max_signal_age=-1: not a whole number of 0 or more"}},
      {"max_signal_age=99999999999", {"max_signal_age=99999999999: not a whole number of 0 or more"}},
      {"allow_magics=1, x, 3", {"allow_magics=1, x, 3: not a list of whole numbers"}},
      {"master_time_offset=-172801", {"master_time_offset=-172801: not a whole number of seconds from -172800 to 172800"}},
      {"master_time_offset=1.5", {"master_time_offset=1.5: not a whole number of seconds from -172800 to 172800"}},
      {"master_time_offset=+60", {"master_time_offset=+60: not a whole number of seconds from -172800 to 172800"}},
      {"symbol_map=GOLD", {"symbol_map=GOLD: not a list of MASTER=SLAVE pairs"}},
      {"symbol_map=GOLD=XAUUSD, =X", {"symbol_map=GOLD=XAUUSD, =X: not a list of MASTER=SLAVE pairs"}},
      {"lotz=1;reverse=perhaps\ncopy_old=yes",
       {"lotz=1: unknown key", "reverse=perhaps: not yes or no"}},
  };
  for (const ProblemCase& c : cases) {
    ParsedSettings parsed = ParseCopySettings(c.text);
    EXPECT_EQ(parsed.problems, c.problems) << c.text;
    CopySettings expected;
    expected.copy_old = std::string_view(c.text).find("copy_old=yes") != std::string_view::npos;
    EXPECT_TRUE(parsed.settings == expected) << c.text << ": a bad item changed the settings";
  }
}

// The netting planner cannot tell a master away from the hub from one that holds nothing.
TEST(ParseCopySettings, NettingWithoutNamedMastersIsAProblemAndStaysNetting) {
  ParsedSettings parsed = ParseCopySettings("netting=yes");
  ASSERT_EQ(parsed.problems.size(), 1u);
  EXPECT_NE(parsed.problems[0].find("masters must name the master logins"), std::string::npos) << parsed.problems[0];
  EXPECT_TRUE(parsed.settings.netting) << "a netting account planned as a hedging one would deal wrongly";
}

TEST(FormatCopySettings, ParsesBackToTheSameSettings) {
  const char* texts[] = {
      "",
      "lot_multiplier=0.1; fixed_lots=0.07; max_lots=12.5; reverse=yes; copy_pending=no; copy_stops=no",
      "symbol_map=GOLD=XAUUSD, OIL=BRENT=X; master_prefix=#; master_suffix=.m; slave_prefix=a b; slave_suffix=,",
      "max_deviation_points=2147483647; max_signal_age=0; copy_old=yes; allow_symbols=EURUSD, GBPUSD",
      "deny_symbols=XAUUSD; allow_magics=-2147483648, 0, 42; comment_contains=from #; masters=4711, 4712",
      "master_time_offset=-172800; netting=yes; masters=4711",
      "lot_multiplier=0.30000000000000004; fixed_lots=1e-300",
  };
  for (const char* text : texts) {
    ParsedSettings first = ParseCopySettings(text);
    ASSERT_TRUE(first.problems.empty()) << text << ": " << first.problems.front();
    std::string formatted = FormatCopySettings(first.settings);
    ParsedSettings again = ParseCopySettings(formatted);
    EXPECT_TRUE(again.problems.empty()) << formatted << ": " << again.problems.front();
    EXPECT_TRUE(again.settings == first.settings) << text << "\n" << formatted;
  }
}

TEST(FollowsMaster, AllWhenNoneAreNamed) {
  CopySettings settings;
  EXPECT_TRUE(FollowsMaster(settings, "4711"));
  settings.masters = {"4711", "4713"};
  EXPECT_TRUE(FollowsMaster(settings, "4713"));
  EXPECT_FALSE(FollowsMaster(settings, "4712"));
  EXPECT_FALSE(FollowsMaster(settings, "47111"));
}

}  // namespace
