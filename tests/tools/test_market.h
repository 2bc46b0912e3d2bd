// The account and market the trade server's tests trade on.
#pragma once
#include <memory>

#include "trade_server.h"

constexpr int kStart = 1252972800;  // the server's clock at the start
constexpr int kFirstTicket = 1001;

inline AccountSetup TestAccount() {
  AccountSetup setup;
  setup.login = "4711";
  setup.balance = 10000;
  setup.leverage = 100;
  setup.first_ticket = kFirstTicket;
  setup.start_time = kStart;
  setup.seed = 7;
  setup.tick_ms = 250;
  return setup;
}

// A still market (no walks) the tests move themselves:
//   EURUSD    5 digits, bid 1.10000 ask 1.10020, lots 0.01..5 by 0.01, stops level 10
//   EURUSD.m  5 digits, bid 1.10000 ask 1.10010, lots 0.2..50 by 0.1, freeze level 5
//   USDJPY    3 digits, bid 150.000 ask 150.015, stops level 5
//   GBPUSD    5 digits, bid 1.25000 ask 1.25020, its market closed
inline void OfferTestSymbols(TradeServer& server) {
  SymbolRules eurusd{"EURUSD", 5, 0.01, 5, 0.01, 10, 0, 100000};
  SymbolRules eurusd_m{"EURUSD.m", 5, 0.2, 50, 0.1, 0, 5, 100000};
  SymbolRules usdjpy{"USDJPY", 3, 0.01, 5, 0.01, 5, 0, 100000};
  SymbolRules gbpusd{"GBPUSD", 5, 0.01, 5, 0.01, 0, 0, 100000};
  server.AddSymbol(eurusd, 1.10000, 20, 0);
  server.AddSymbol(eurusd_m, 1.10000, 10, 0);
  server.AddSymbol(usdjpy, 150.000, 15, 0);
  server.AddSymbol(gbpusd, 1.25000, 20, 0);
  server.SetTradeAllowed("GBPUSD", false);
}

inline std::unique_ptr<TradeServer> TestServer(const AccountSetup& setup = TestAccount()) {
  auto server = std::make_unique<TradeServer>(setup);
  OfferTestSymbols(*server);
  return server;
}
