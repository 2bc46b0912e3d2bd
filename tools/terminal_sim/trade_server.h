// A simulated trade server for one account, as an expert sees it through MQL4's trade and
// order functions: symbols with a broker's rules and a moving market, market and pending
// orders with the terminal's checks and error codes, partial closes that reopen the rest under
// a new ticket, pending orders that trigger or expire and stops that are hit as the market
// moves, injected failures, and a journal that brings the account back after a restart.
//
// The clock is the caller's: Advance() moves it and the market with it, one step of every
// price walk per tick. Safe to call from several threads; as in a terminal, one trade call runs
// at a time and a second one meanwhile fails with 146 (trade context busy).
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "account_journal.h"
#include "market_feed.h"
#include "sim_order.h"
#include "symbol_rules.h"
#include "trade_faults.h"

struct AccountSetup {
  std::string login = "0";
  double balance = 10000;
  int leverage = 100;              // margin of an order: lots * contract size / leverage
  int first_ticket = 1;            // tickets count up from here
  int start_time = 1252972800;     // server time when the clock starts, unix seconds
  uint64_t seed = 1;               // of the price walks
  int tick_ms = 250;               // the market moves once per tick_ms of the clock
  int execution_ms = 0;            // wall-clock time a trade call holds the trade context
};

enum OrderPool { kModeTrades = 0, kModeHistory = 1 };

// MarketInfo()'s modes, with MQL4's numbers.
enum MarketInfoMode {
  kModeBid = 9,
  kModeAsk = 10,
  kModePoint = 11,
  kModeDigits = 12,
  kModeSpread = 13,
  kModeStopLevel = 14,
  kModeLotSize = 15,
  kModeTradeAllowed = 22,
  kModeMinLot = 23,
  kModeLotStep = 24,
  kModeMaxLot = 25,
  kModeFreezeLevel = 33,
};

class TradeServer {
 public:
  explicit TradeServer(const AccountSetup& setup);

  // --- The broker's side: what is offered and how the market and the clock move.

  // Offers a symbol whose bid starts at `bid`, walks by up to `walk_points` a tick (0: it
  // stays where it is put) and has an ask `spread_points` above. False for unusable rules.
  bool AddSymbol(const SymbolRules& rules, double bid, int spread_points, int walk_points);
  // Closes (or opens) a symbol's market: trade calls on it fail with 132.
  bool SetTradeAllowed(const std::string& symbol, bool allowed);
  // Puts the market where the caller wants it; pending orders and stops react at once.
  bool SetBid(const std::string& symbol, double bid);
  bool SetAsk(const std::string& symbol, double ask);
  // Moves the clock; the market takes a step at each tick passed, and pending orders trigger
  // or expire and stops are hit as it goes.
  void Advance(int ms);
  void SetLogin(const std::string& login);
  void SetFaults(FaultPlan plan);
  // Replays the journal at `path` (created when missing) and appends every change from now
  // on. Call it after the symbols are offered and before any trading; tickets go on from the
  // highest the journal has seen and the clock from its last change. On failure `error` says
  // why and the account is left empty. A change that cannot be journaled is not made: its
  // trade call fails with 2.
  bool OpenJournal(const std::string& path, std::string& error);

  // --- The expert's side, as in MQL4.

  // The new ticket, or -1 (GetLastError() tells why).
  int OrderSend(const std::string& symbol, int type, double lots, double price, int slippage,
                double stop_loss, double take_profit, const std::string& comment, int magic,
                int expiration);
  // All or part of a market order; part: the rest goes on under a new ticket.
  bool OrderClose(int ticket, double lots, double price, int slippage);
  // Stops of any order; also price and expiration of a pending one. Nothing changed: error 1.
  bool OrderModify(int ticket, double price, double stop_loss, double take_profit, int expiration);
  bool OrderDelete(int ticket);

  // The calling thread's last error, set by every trade call and by MarketInfo; reading it
  // clears it.
  int GetLastError();
  bool IsTradeContextBusy();

  int OrdersTotal();
  int OrdersHistoryTotal();
  bool OrderSelectByPos(int index, OrderPool pool, SimOrder& order);
  // Searches the open orders, then the history.
  bool OrderSelectByTicket(int ticket, SimOrder& order);
  // 0 and error 4106 for a symbol the server does not offer, 4051 for an unknown mode.
  double MarketInfo(const std::string& symbol, int mode);

  std::string AccountLogin();
  double AccountBalance();
  double AccountEquity();  // the balance and the market orders' profit at the current prices
  double AccountFreeMargin();
  int TimeCurrent();

 private:
  struct Listing {
    SymbolRules rules;
    bool trade_allowed = true;
  };

  // Runs one trade call in the trade context, with the planned fault; records its error.
  template <typename Execute>
  int TradeCall(Execute execute);

  int Send(const std::string& symbol, int type, double lots, double price, int slippage,
           double stop_loss, double take_profit, const std::string& comment, int magic,
           int expiration, int& ticket);
  int Close(int ticket, double lots, double price, int slippage);
  int Modify(int ticket, double price, double stop_loss, double take_profit, int expiration);
  int Delete(int ticket);

  // Journals a change and applies it; false (nothing changed) when it cannot be journaled.
  bool Commit(const JournalEvent& event);
  // Applies a change, from a trade call, the market or the journal; false when it does not
  // fit the account (a journal that is not this account's).
  bool Apply(const JournalEvent& event);
  // Pending orders that trigger or expire and stops that are hit at the current prices.
  void ReactToMarket();

  const Listing* Find(const std::string& symbol) const;
  SimOrder* FindOpen(int ticket);
  bool TicketUsed(int ticket) const;
  Quote QuoteOf(const std::string& symbol) const { return feed_.QuoteOf(symbol); }
  double Profit(const SimOrder& order, double close_price) const;
  double Margin(const SymbolRules& rules, double lots) const;
  double Equity() const;
  double FreeMargin() const;
  int Now() const { return static_cast<int>(now_ms_ / 1000); }
  int RecordError(int error);

  AccountSetup setup_;
  std::mutex trade_context_;
  std::mutex mutex_;  // everything below
  std::map<std::string, Listing> symbols_;
  MarketFeed feed_;
  FaultPlan faults_;
  AccountJournal journal_;
  bool journaled_ = false;
  std::vector<SimOrder> trades_, history_;
  double balance_;
  int next_ticket_;
  int64_t now_ms_, next_tick_ms_;
  std::map<std::thread::id, int> last_errors_;
};
