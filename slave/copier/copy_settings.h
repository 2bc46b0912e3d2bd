// The slave's copy settings and their text, as the expert passes it.
//
// One item per line or between ';', each `key = value`; blanks around keys and values are
// ignored, keys and yes/no words are case-insensitive, an item starting with '#' is a remark.
// Lists are ','-separated and repeated list keys add up; any other key repeated: the last one
// counts. A value cannot hold ';' or a line break. Unknown keys and bad values are reported and
// leave the default in place.
//
//   key                    default  meaning
//   lot_multiplier         1        a copy's lots are the master's times this
//   fixed_lots             0        above 0: every copy has these lots instead
//   max_lots               0        above 0: no copy has more lots
//   symbol_map             -        master=slave pairs, taken as they are (GOLD=XAUUSD)
//   master_prefix/_suffix  -        removed from the master's symbol when it has them
//   slave_prefix/_suffix   -        then added for the slave's symbol
//   reverse                no       buy<->sell, limit<->stop, stop loss<->take profit
//   copy_pending           yes      copy pending orders
//   copy_stops             yes      copy stop loss and take profit (no: the slave keeps its own)
//   max_deviation_points   0        above 0: no market copy this far from the master's price
//   max_signal_age         0        above 0: no market copy of an order older (seconds)
//   copy_old               no       copy orders the master opened before following began
//   allow_symbols          -        only these symbols (master's or slave's name)
//   deny_symbols           -        never these symbols
//   allow_magics           -        only master orders with these magic numbers
//   comment_contains       -        only master orders whose comment has this (any case)
//   masters                -        only these master logins
//   master_time_offset     0        seconds to add to the slave's server time for the masters'
//                                   (their order times, and expirations); within two days
//   netting                no       the account holds one position per symbol (an MT5 netting
//                                   account): plan the net of the masters per symbol
//                                   (net_plan.h). Needs `masters`: a master missing from the
//                                   set must not count as holding nothing.
//
// Example, as one line of an expert's input:
//   lot_multiplier=0.5; max_lots=2; symbol_map=GOLD=XAUUSD, SILVER=XAGUSD; slave_suffix=.m
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SymbolPair {
  std::string master;
  std::string slave;

  bool operator==(const SymbolPair&) const = default;
};

struct CopySettings {
  double lot_multiplier = 1.0;
  double fixed_lots = 0;
  double max_lots = 0;
  std::vector<SymbolPair> symbol_map;
  std::string master_prefix;
  std::string master_suffix;
  std::string slave_prefix;
  std::string slave_suffix;
  bool reverse = false;
  bool copy_pending = true;
  bool copy_stops = true;
  int32_t max_deviation_points = 0;
  int32_t max_signal_age = 0;
  bool copy_old = false;
  std::vector<std::string> allow_symbols;
  std::vector<std::string> deny_symbols;
  std::vector<int32_t> allow_magics;
  std::string comment_contains;
  std::vector<std::string> masters;
  int32_t master_time_offset = 0;
  bool netting = false;

  bool operator==(const CopySettings&) const = default;
};

struct ParsedSettings {
  CopySettings settings;
  // One readable line per unknown key or bad value.
  std::vector<std::string> problems;
};

ParsedSettings ParseCopySettings(std::string_view text);

// The settings as text that parses back to them, one key a line, for the expert's log.
std::string FormatCopySettings(const CopySettings& settings);

// The most master_time_offset may say either way: servers keep their zones within a day of UTC.
inline constexpr int32_t kMaxMasterTimeOffset = 2 * 86400;

// Whether the settings follow the master with this login.
bool FollowsMaster(const CopySettings& settings, std::string_view login);
