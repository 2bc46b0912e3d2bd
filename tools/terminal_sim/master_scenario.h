// The master's scenario (format at the top of master_scenario.cpp) and the simulated master
// account that only keeps the orders as the scenario states them.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim_order.h"

struct ScenarioStep {
  enum Kind { kLogin, kOpen, kModify, kClose, kWait, kDelete, kTrigger, kPrice } kind;
  // open: the order; modify: ticket, new stops and a pending order's new price (0: keep);
  // close: ticket, price and lots (0: all); delete, trigger: ticket; price: symbol.
  SimOrder order;
  std::optional<int> expiration;  // modify: a pending order's new expiration, when given
  double bid = 0;                 // price
  int wait_ms = 0;                // wait
  std::string login;              // login
};

// Reads a scenario; on failure `error` names the line and what is wrong with it.
bool ParseScenario(std::string_view text, std::vector<ScenarioStep>& steps, std::string& error);

struct SimAccount {
  std::string login = "0";
  std::vector<SimOrder> market, history;

  // Applies one step other than a wait; steps naming an unknown ticket change nothing, and
  // a price step has no market here to move.
  void Apply(const ScenarioStep& step);
  // `count` market orders with made-up but fixed values.
  void OpenGenerated(int count);
};
