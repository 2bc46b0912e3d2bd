// A terminal for translated MQL4 programs in native tests: orders and quotes the test sets and
// trade calls that answer what the test scripts, besides what fake_terminal_base.h gives.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "fake_terminal_base.h"
#include "mql4_program.h"

struct FakeTerminal : mql::Terminal4, FakeTerminalBase {
  std::vector<mql::OrderRecord> trades, history;
  std::map<std::string, std::map<int, double>> market;  // symbol -> MarketInfo mode -> value
  int next_ticket = 100, trade_error = 0;               // trade_error: what the next trade call fails with
  std::vector<std::string> trade_calls;
  int login = 4711;
  bool context_busy = false;

  int OrderSend(const std::string& symbol, int cmd, double volume, double price, int, double sl, double tp,
                const std::string& comment, int magic, mql::mlong expiration, int& error) override {
    trade_calls.push_back("send " + symbol + " " + std::to_string(cmd) + " " + std::to_string(volume) + " " +
                          std::to_string(price) + " " + comment);
    if ((error = trade_error) != 0) return -1;
    mql::OrderRecord o;
    o.ticket = next_ticket++;
    o.type = cmd, o.lots = volume, o.symbol = symbol, o.open_price = price, o.stop_loss = sl;
    o.take_profit = tp, o.comment = comment, o.magic = magic, o.expiration = expiration, o.open_time = now;
    trades.push_back(o);
    return o.ticket;
  }
  bool OrderClose(int ticket, double lots, double price, int, int& error) override {
    trade_calls.push_back("close " + std::to_string(ticket) + " " + std::to_string(lots) + " " + std::to_string(price));
    return (error = trade_error) == 0;
  }
  bool OrderModify(int ticket, double, double, double, mql::mlong, int& error) override {
    trade_calls.push_back("modify " + std::to_string(ticket));
    return (error = trade_error) == 0;
  }
  bool OrderDelete(int ticket, int& error) override {
    trade_calls.push_back("delete " + std::to_string(ticket));
    return (error = trade_error) == 0;
  }
  int OrdersTotal() override { return static_cast<int>(trades.size()); }
  int OrdersHistoryTotal() override { return static_cast<int>(history.size()); }
  bool OrderByPosition(int index, int pool, mql::OrderRecord& order) override {
    const auto& orders = pool == 0 ? trades : history;
    if (index < 0 || index >= static_cast<int>(orders.size())) return false;
    order = orders[index];
    return true;
  }
  bool OrderByTicket(int ticket, mql::OrderRecord& order) override {
    for (const auto* orders : {&trades, &history})
      for (const auto& o : *orders)
        if (o.ticket == ticket) {
          order = o;
          return true;
        }
    return false;
  }
  double MarketInfo(const std::string& symbol, int mode, int& error) override {
    const auto listed = market.find(symbol);
    if (listed == market.end()) {
      error = 4106;
      return 0;
    }
    const auto value = listed->second.find(mode);
    return value == listed->second.end() ? 0 : value->second;
  }
  bool SymbolSelect(const std::string& symbol, bool) override { return market.count(symbol) != 0; }
  double Bid(const std::string& symbol) override {
    int error = 0;
    return MarketInfo(symbol, mql::builtin::MODE_BID, error);
  }
  int AccountNumber() override { return login; }
  bool IsTradeContextBusy() override { return context_busy; }
};
