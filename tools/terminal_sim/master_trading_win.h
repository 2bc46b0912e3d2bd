// terminal_sim master --trade: the master expert's cycle against a simulated trade server that
// a scenario trades on.
#pragma once
#include <string>
#include <vector>

#include "master_library_win.h"
#include "master_scenario.h"

struct TradingOptions {
  std::string channel, journal, symbols;
  int window = 0;  // the chart's: a master started again on the same chart replaces its image
  int instance = 1;
  int duration_ms = 0;  // 0: until the scenario is done
};

// Plays `steps` on the account and publishes it every 10 ms as the expert does; answers the
// process's exit code (5 when a step of the scenario failed).
int RunTradingMaster(const MasterExports& m, const TradingOptions& opt,
                     const std::vector<ScenarioStep>& steps);
