// A simulated MT5 account, as an MQL5 expert sees it through OrderSend and the position, order,
// history and symbol functions: a netting or hedging account on symbols with a broker's rules
// and a moving market, deals that open, add to, reduce, close or reverse positions, pending
// orders that trigger or expire and stops that are hit as the market moves.
//
// The clock is the caller's, as in TradeServer: Advance() moves it and the market with it.
// Safe to call from several threads; one call runs at a time.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "market_feed.h"
#include "mt5_account_records.h"
#include "mt5_trade_request.h"
#include "symbol_rules.h"

struct Mt5AccountSetup {
  int64_t login = 0;
  Mt5MarginMode margin_mode = Mt5MarginMode::kHedging;
  double balance = 10000;
  int leverage = 100;             // margin of a position: volume * contract size / leverage
  uint64_t first_ticket = 1;      // orders, deals and positions share one count from here
  int64_t start_time = 1252972800;  // server time when the clock starts, unix seconds
  uint64_t seed = 1;              // of the price walks
  int tick_ms = 250;              // the market moves once per tick_ms of the clock
};

class Mt5TradeServer {
 public:
  explicit Mt5TradeServer(const Mt5AccountSetup& setup);

  // --- The broker's side.

  // Offers a symbol whose bid starts at `bid`, walks by up to `walk_points` a tick and has an
  // ask `spread_points` above; deals on it may fill FOK and/or IOC. False for unusable rules.
  bool AddSymbol(const SymbolRules& rules, bool fill_fok, bool fill_ioc, double bid,
                 int spread_points, int walk_points);
  bool SetTradeAllowed(const std::string& symbol, bool allowed);
  // Puts the market where the caller wants it; pending orders and stops react at once.
  bool SetBid(const std::string& symbol, double bid);
  void Advance(int ms);

  // --- The expert's side, as in MQL5.

  // True only when the retcode is placed or done.
  bool OrderSend(const Mt5TradeRequest& request, Mt5TradeResult& result);

  int PositionsTotal();
  bool PositionByIndex(int index, Mt5Position& position);
  bool PositionByTicket(uint64_t ticket, Mt5Position& position);
  int OrdersTotal();
  bool OrderByIndex(int index, Mt5Order& order);
  // The deals from `from` to `to`, both included, as HistorySelect gives them.
  std::vector<Mt5Deal> HistoryDeals(int64_t from, int64_t to);
  // The orders that left the active ones from `from` to `to`, both included.
  std::vector<Mt5Order> HistoryOrders(int64_t from, int64_t to);
  bool SymbolInfo(const std::string& symbol, Mt5SymbolFacts& facts);
  int64_t Login() const { return setup_.login; }
  Mt5MarginMode MarginMode() const { return setup_.margin_mode; }
  double AccountBalance();
  double AccountEquity();
  double AccountFreeMargin();
  int64_t TimeCurrent();
  // How many times the positions, orders or deals changed: a reader of the whole account can tell
  // that nothing changed without reading it.
  uint64_t Changes();

 private:
  struct Listing {
    SymbolRules rules;
    bool fill_fok = false, fill_ioc = false;
    bool trade_allowed = true;
  };

  uint32_t Deal(const Mt5TradeRequest& request, Mt5TradeResult& result);
  uint32_t Pending(const Mt5TradeRequest& request, Mt5TradeResult& result);
  uint32_t Sltp(const Mt5TradeRequest& request);
  uint32_t Modify(const Mt5TradeRequest& request);
  uint32_t Remove(const Mt5TradeRequest& request);

  // Fills `units` (LotUnits) at `price` (points) on the account: into `target` (hedging, a
  // close) or as the margin mode has it. Returns the deal.
  Mt5Deal Fill(const Listing& listing, bool buy, long long units, int64_t price,
               uint64_t order, Mt5Position* target, const Mt5TradeRequest& request,
               Mt5DealReason reason);
  // Pending orders that trigger or expire and stops that are hit at the current prices.
  void ReactToMarket();
  // Moves an order into the history, done now in `state`.
  void Finish(Mt5Order order, Mt5OrderState state);

  const Listing* Find(const std::string& symbol) const;
  Mt5Position* FindPosition(uint64_t ticket);
  Mt5Position* NettingPosition(const std::string& symbol);
  Mt5Order* FindOrder(uint64_t ticket);
  double Equity() const;
  double FreeMargin() const;
  double Margin(const SymbolRules& rules, long long lots_units) const;
  int64_t Now() const { return now_ms_ / 1000; }

  Mt5AccountSetup setup_;
  std::mutex mutex_;  // everything below
  std::map<std::string, Listing> symbols_;
  MarketFeed feed_;
  std::vector<Mt5Position> positions_;
  std::vector<Mt5Order> orders_;
  std::vector<Mt5Order> history_orders_;
  std::vector<Mt5Deal> deals_;
  double balance_;
  uint64_t next_ticket_;
  int64_t now_ms_, next_tick_ms_;
  uint64_t changes_ = 0;
};
