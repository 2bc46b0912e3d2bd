// The terminal a translated MQL5 expert runs in, over a simulated MT5 account: positions,
// orders, the history, OrderSend and the symbols, besides what every simulated terminal has
// (sim_terminal_base.h).
#pragma once
#include <string>
#include <vector>

#include "mql5_terminal.h"
#include "mt5_trade_server.h"
#include "sim_terminal_base.h"

class Mt5SimTerminal : public mql::Terminal5, public SimTerminalBase {
 public:
  // `globals`: the file of the terminal's global variables ("" for none kept).
  Mt5SimTerminal(Mt5TradeServer& server, LibraryLoader loader, std::string globals);

  bool OrderSend(const mql::builtin5::MqlTradeRequest& request, mql::builtin5::MqlTradeResult& result) override;
  std::vector<mql::PositionInfo> Positions() override;
  std::vector<mql::OrderInfo> Orders() override;
  std::vector<mql::DealInfo> HistoryDeals(mql::mlong from, mql::mlong to) override;
  std::vector<mql::OrderInfo> HistoryOrders(mql::mlong from, mql::mlong to) override;
  bool SymbolInfo(const std::string& symbol, mql::SymbolFacts& facts) override;
  bool SymbolSelect(const std::string& symbol, bool select) override;
  double Bid(const std::string& symbol) override;
  mql::mlong AccountLogin() override { return server_.Login(); }
  int MarginMode() override;
  double AccountBalance() override { return server_.AccountBalance(); }
  double AccountEquity() override { return server_.AccountEquity(); }
  double AccountFreeMargin() override { return server_.AccountFreeMargin(); }
  mql::mlong TimeCurrent() override { return server_.TimeCurrent(); }

 private:
  Mt5TradeServer& server_;
};
