// The command-line texts that set up a simulated account: which symbols its broker offers and
// which failures its trade calls meet.
//
//   --symbols "suffix=.m;stops=10;lot_min=0.1;lot_step=0.1;lot_max=50;walk=3;fill=ioc"
//       every symbol of the catalog (EURUSD, GBPUSD, USDJPY, XAUUSD) under its name with the
//       suffix, with these rules; items may be left out (defaults: no suffix, stops 0, lots
//       0.01 to 100 in steps of 0.01, a market that stays where it is put, deals of an MT5
//       account filled FOK or IOC: fill=fok, fill=ioc or fill=fok,ioc)
//   --margin netting|hedging                            an MT5 account's margin mode
//   --faults "seed=7;rate=0.2;kinds=requote,busy"      each trade call fails with that chance
//   --faults "script=requote,none,timeout-after"       the next trade calls, one each
//
// Fault names: requote, broker-busy, server-busy, context-busy, no-connection, timeout,
// timeout-after (the call was carried out, yet it reports 128), none.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "mt5_trade_server.h"
#include "trade_faults.h"
#include "trade_server.h"

struct OfferedSymbol {
  SymbolRules rules;
  double bid = 0;
  int spread_points = 0;
  int walk_points = 0;
  bool fill_fok = true, fill_ioc = true;  // an MT5 account's fill modes
};

// False, with `error` saying why, for an unknown item or a value that does not read.
bool ParseSymbolOffer(const std::string& text, std::vector<OfferedSymbol>& offer, std::string& error);
bool ParseFaultPlan(const std::string& text, FaultPlan& plan, std::string& error);
bool ParseMarginMode(const std::string& text, Mt5MarginMode& mode, std::string& error);

// Offers every symbol on the server; false when the server refuses one.
bool OfferSymbols(TradeServer& server, const std::vector<OfferedSymbol>& offer);
bool OfferSymbols(Mt5TradeServer& server, const std::vector<OfferedSymbol>& offer);

// An MT5 account of `setup` in the margin mode `margin` offering `symbols`; nullptr, with `error`
// saying why, when either does not read or the server refuses the symbols.
std::unique_ptr<Mt5TradeServer> OpenMt5Account(Mt5AccountSetup setup, const std::string& margin,
                                               const std::string& symbols, std::string& error);
