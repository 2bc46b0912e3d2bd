// What the copier end-to-end tests read of the simulated accounts: the orders a journal holds,
// the copies a master's account calls for under a slave's settings, and how often each chain
// was copied.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

// One open order as the comparison sees it.
struct Held {
  std::string symbol;
  int type;
  double lots, open_price, stop_loss, take_profit;  // open_price of pending orders only

  bool operator<(const Held& o) const;
  bool operator==(const Held& o) const;
};

std::string Describe(const std::vector<Held>& orders);

// The journal as it is now; its simulator may have it open for writing.
std::string JournalText(const std::string& path);

// The open orders of the account a journal holds, replayed on a server offering `symbols`
// (account_options.h); sorted.
std::vector<Held> AccountOf(const std::string& journal, const std::string& symbols);

// The open positions and pending orders of an MT5 account's state file (mt5_account_state.h),
// sorted; empty while the file cannot be read.
std::vector<Held> Mt5AccountOf(const std::string& state);

// How many positions each magic opened on an MT5 account (its deals in): a second one copied a
// chain twice.
std::map<int, int> Mt5OpensByMagic(const std::string& state);

// What a slave copies of each order.
struct CopyRule {
  std::string suffix;
  double multiplier = 1;
  double fixed_lots = 0;  // above 0: shared out as the master's chain is
  bool reverse = false;
};

// The copies of the master's open orders (from its journal) under `rule`, sorted.
std::vector<Held> ExpectedCopies(const std::string& master_journal, const CopyRule& rule);

// How many times each copy link (the magic the copier gives a chain's copies) was opened, as a
// pending order (false) and as a market one (true): a pending copy gives way to a market copy
// when the master's order triggers; any other second open copied a chain twice.
std::map<std::pair<int, bool>, int> OpensByMagic(const std::string& journal);
