// The simulated master account and the scenario that changes it (format in master_role.cpp).
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct SimOrder {
  int ticket = 0;
  int open_time = 0;
  int type = 0;  // 0 buy, 1 sell, 2 buy limit, 3 sell limit, 4 buy stop, 5 sell stop
  double lots = 0;
  std::string symbol;
  double open_price = 0, stop_loss = 0, take_profit = 0;
  int close_time = 0;
  double close_price = 0;
  std::string comment;
};

struct ScenarioStep {
  enum Kind { kLogin, kOpen, kModify, kClose, kWait } kind;
  SimOrder order;    // open: the order; modify: ticket and new levels; close: ticket and price
  int wait_ms = 0;   // wait
  std::string login; // login
};

// Reads a scenario; on failure `error` names the line and what is wrong with it.
bool ParseScenario(std::string_view text, std::vector<ScenarioStep>& steps, std::string& error);

struct SimAccount {
  std::string login = "0";
  std::vector<SimOrder> market, history;

  // Applies one step other than a wait; steps naming an unknown ticket change nothing.
  void Apply(const ScenarioStep& step);
  // `count` market orders with made-up but fixed values.
  void OpenGenerated(int count);
};
