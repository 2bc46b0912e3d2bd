// The terminal a translated MQL4 expert runs in, over a simulated trade server: its account
// and the market, besides what every simulated terminal has (sim_terminal_base.h).
#pragma once
#include <string>

#include "mql4_terminal.h"
#include "sim_terminal_base.h"
#include "trade_server.h"

class SimTerminal : public mql::Terminal4, public SimTerminalBase {
 public:
  // `globals`: the file of the terminal's global variables ("" for none kept).
  SimTerminal(TradeServer& server, LibraryLoader loader, std::string globals);

  int OrderSend(const std::string& symbol, int cmd, double volume, double price, int slippage, double stop_loss,
                double take_profit, const std::string& comment, int magic, mql::mlong expiration,
                int& error) override;
  bool OrderClose(int ticket, double lots, double price, int slippage, int& error) override;
  bool OrderModify(int ticket, double price, double stop_loss, double take_profit, mql::mlong expiration,
                   int& error) override;
  bool OrderDelete(int ticket, int& error) override;
  int OrdersTotal() override { return server_.OrdersTotal(); }
  int OrdersHistoryTotal() override { return server_.OrdersHistoryTotal(); }
  bool OrderByPosition(int index, int pool, mql::OrderRecord& order) override;
  bool OrderByTicket(int ticket, mql::OrderRecord& order) override;
  double MarketInfo(const std::string& symbol, int mode, int& error) override;
  bool SymbolSelect(const std::string& symbol, bool select) override;
  double Bid(const std::string& symbol) override;
  int AccountNumber() override;
  double AccountBalance() override { return server_.AccountBalance(); }
  double AccountEquity() override { return server_.AccountEquity(); }
  double AccountFreeMargin() override { return server_.AccountFreeMargin(); }
  bool IsTradeContextBusy() override { return server_.IsTradeContextBusy(); }
  mql::mlong TimeCurrent() override { return server_.TimeCurrent(); }

 private:
  TradeServer& server_;
};
