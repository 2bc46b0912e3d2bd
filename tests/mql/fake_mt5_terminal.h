// A terminal for translated MQL5 programs in native tests: positions, orders, the history and
// symbols the test sets, and OrderSend answering the retcode the test scripts, besides what
// fake_terminal_base.h gives.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "fake_terminal_base.h"
#include "mql5_program.h"

struct FakeMt5Terminal : mql::Terminal5, FakeTerminalBase {
  std::vector<mql::PositionInfo> positions;
  std::vector<mql::OrderInfo> orders, history_orders;
  std::vector<mql::DealInfo> deals;
  std::map<std::string, mql::SymbolFacts> symbols;
  mql::uint retcode = mql::builtin5::TRADE_RETCODE_DONE;  // what OrderSend answers
  std::vector<mql::uint> next_retcodes;                  // answered first, one a request
  std::vector<std::string> requests;                     // "action type symbol volume comment"
  std::vector<mql::builtin5::MqlTradeRequest> sent;      // every request whole
  mql::ulong next_ticket = 5'000'000'001;
  int margin_mode = mql::builtin5::ACCOUNT_MARGIN_MODE_RETAIL_HEDGING;

  bool OrderSend(const mql::builtin5::MqlTradeRequest& request, mql::builtin5::MqlTradeResult& result) override {
    requests.push_back(std::to_string(request.action) + " " + std::to_string(request.type) + " " +
                       request.symbol.Utf8() + " " + mql::NumberText(request.volume) + " " + request.comment.Utf8());
    sent.push_back(request);
    result = {};
    result.retcode = retcode;
    if (!next_retcodes.empty()) {
      result.retcode = next_retcodes.front();
      next_retcodes.erase(next_retcodes.begin());
    }
    const bool accepted = result.retcode == mql::builtin5::TRADE_RETCODE_DONE ||
                          result.retcode == mql::builtin5::TRADE_RETCODE_PLACED;
    if (accepted) result.order = next_ticket++;
    return accepted;
  }
  std::vector<mql::PositionInfo> Positions() override { return positions; }
  std::vector<mql::OrderInfo> Orders() override { return orders; }
  std::vector<mql::DealInfo> HistoryDeals(mql::mlong from, mql::mlong to) override {
    std::vector<mql::DealInfo> in;
    for (const auto& d : deals)
      if (d.time >= from && d.time <= to) in.push_back(d);
    return in;
  }
  std::vector<mql::OrderInfo> HistoryOrders(mql::mlong from, mql::mlong to) override {
    std::vector<mql::OrderInfo> in;
    for (const auto& o : history_orders)
      if (o.time_done >= from && o.time_done <= to) in.push_back(o);
    return in;
  }
  bool SymbolInfo(const std::string& symbol, mql::SymbolFacts& facts) override {
    const auto found = symbols.find(symbol);
    if (found == symbols.end()) return false;
    facts = found->second;
    return true;
  }
  bool SymbolSelect(const std::string& symbol, bool) override { return symbols.count(symbol) != 0; }
  double Bid(const std::string& symbol) override { return symbols.count(symbol) ? symbols[symbol].bid : 0; }
  mql::mlong AccountLogin() override { return 5001; }
  int MarginMode() override { return margin_mode; }
};
