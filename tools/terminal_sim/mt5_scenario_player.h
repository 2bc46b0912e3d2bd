// Plays the master's scenario (master_scenario.cpp) on a simulated MT5 account, as a trader of
// that account would trade it: the scenario's tickets name the positions and pending orders it
// opened, whatever tickets the account gave them.
#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "master_scenario.h"
#include "mt5_trade_server.h"

class Mt5ScenarioPlayer {
 public:
  explicit Mt5ScenarioPlayer(Mt5TradeServer& server) : server_(server) {}

  // Carries out one step other than a login, which is the terminal's. Where a step names the
  // price an order opens or closes at, the market is put there first, so that it fills at
  // exactly that price; `trigger` puts it at a pending order's price; `wait` advances the
  // clock. Answers "" when the step went through, else what went wrong, e.g.
  // "open 1003: 10016 invalid stops".
  std::string Play(const ScenarioStep& step);

  // The account's ticket of the scenario's, 0 for one not opened.
  uint64_t TicketOf(int scenario_ticket) const;

 private:
  std::string Open(const SimOrder& o);
  std::string Close(const SimOrder& step);
  std::string Modify(const ScenarioStep& step);
  std::string Delete(int scenario_ticket);
  std::string Trigger(int scenario_ticket);
  // Sends `request` under the fill policy the symbol allows; "" or what went wrong.
  std::string Send(const char* verb, int scenario_ticket, Mt5TradeRequest request, Mt5TradeResult& result);
  // Puts the ask at `price`, the spread kept: where a buy opens and a sell closes.
  bool MoveAskTo(const std::string& symbol, double price);

  Mt5TradeServer& server_;
  std::map<int, uint64_t> tickets_;
};
