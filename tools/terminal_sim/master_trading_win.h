// terminal_sim master --trade: the master expert of e-qelv-master.mq4 itself, translated, on a
// chart of a simulated terminal whose account a scenario trades on; with --mt5,
// e-qelv-master.mq5 on a simulated MT5 account.
#pragma once
#include <string>
#include <vector>

#include "master_scenario.h"

struct TradingOptions {
  std::string channel, journal, symbols, dll;
  std::string inputs;  // the expert's inputs beside ChannelId and Instance, "Name=value;..."
  int window = 0;  // the chart's window as the terminal reports it: a master started again on
                   // the same chart replaces its image
  int instance = 1;
  int duration_ms = 0;  // 0: until the scenario is done
  std::string mt5;      // "hedging" or "netting": an MT5 account, e-qelv-master.mq5 on its chart
};

// Plays `steps` on the account between the expert's timer events; answers the process's exit
// code (5 when a step of the scenario failed, 2 when the account or the expert did not start).
int RunTradingMaster(const TradingOptions& opt, const std::vector<ScenarioStep>& steps);
