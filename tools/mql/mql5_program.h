// The base of a translated MQL5 program: the functions MQL5 alone has (positions, active and
// history orders, deals, OrderSend with its request and result, the symbols', account's,
// terminal's and program's properties), on an MT5 account, besides those it shares with MQL4
// (mql_program.h). A selection copies what it selects, as the terminal does: the getters
// answer what the position, order or history was when it was selected.
#pragma once
#include <unordered_map>
#include <vector>

#include "mql5_terminal.h"
#include "mql_program.h"

namespace mql {

class Program5 : public Program {
 public:
  void Attach(Terminal5& terminal, const ChartInfo& chart);

 protected:
  Program5() : Program({builtin5::ERR_GLOBALVARIABLE_NOT_FOUND, builtin5::ERR_CHART_WRONG_ID}) {}

  string _Symbol;

  // Positions.
  int PositionsTotal();
  ulong PositionGetTicket(int index);  // selects it; 0 when there is none at `index`
  bool PositionSelectByTicket(ulong ticket);
  mlong PositionGetInteger(builtin5::ENUM_POSITION_PROPERTY_INTEGER property_id);
  double PositionGetDouble(builtin5::ENUM_POSITION_PROPERTY_DOUBLE property_id);
  string PositionGetString(builtin5::ENUM_POSITION_PROPERTY_STRING property_id);

  // Active orders.
  int OrdersTotal();
  ulong OrderGetTicket(int index);  // selects it; 0 when there is none at `index`
  bool OrderSelect(ulong ticket);
  mlong OrderGetInteger(builtin5::ENUM_ORDER_PROPERTY_INTEGER property_id);
  double OrderGetDouble(builtin5::ENUM_ORDER_PROPERTY_DOUBLE property_id);
  string OrderGetString(builtin5::ENUM_ORDER_PROPERTY_STRING property_id);

  // The history: the deals and orders of a time range, both ends included.
  bool HistorySelect(datetime from_date, datetime to_date);
  int HistoryDealsTotal();
  ulong HistoryDealGetTicket(int index);
  mlong HistoryDealGetInteger(ulong ticket_number, builtin5::ENUM_DEAL_PROPERTY_INTEGER property_id);
  double HistoryDealGetDouble(ulong ticket_number, builtin5::ENUM_DEAL_PROPERTY_DOUBLE property_id);
  string HistoryDealGetString(ulong ticket_number, builtin5::ENUM_DEAL_PROPERTY_STRING property_id);
  int HistoryOrdersTotal();
  ulong HistoryOrderGetTicket(int index);
  mlong HistoryOrderGetInteger(ulong ticket_number, builtin5::ENUM_ORDER_PROPERTY_INTEGER property_id);
  double HistoryOrderGetDouble(ulong ticket_number, builtin5::ENUM_ORDER_PROPERTY_DOUBLE property_id);
  string HistoryOrderGetString(ulong ticket_number, builtin5::ENUM_ORDER_PROPERTY_STRING property_id);

  // True only when the server placed or did the request; else ERR_TRADE_SEND_FAILED, and
  // the server's answer in `result`.
  bool OrderSend(builtin5::MqlTradeRequest& request, builtin5::MqlTradeResult& result);

  // Symbols, the account, the terminal and the program.
  mlong SymbolInfoInteger(string name, builtin5::ENUM_SYMBOL_INFO_INTEGER prop_id);
  double SymbolInfoDouble(string name, builtin5::ENUM_SYMBOL_INFO_DOUBLE prop_id);
  mlong AccountInfoInteger(builtin5::ENUM_ACCOUNT_INFO_INTEGER property_id);
  double AccountInfoDouble(builtin5::ENUM_ACCOUNT_INFO_DOUBLE property_id);
  int TerminalInfoInteger(builtin5::ENUM_TERMINAL_INFO_INTEGER property_id);
  int MQLInfoInteger(builtin5::ENUM_MQL_INFO_INTEGER property_id);

 private:
  // The selected position or order, or its error and a default.
  const PositionInfo& SelectedPosition();
  const OrderInfo& SelectedOrder();
  const DealInfo& HistoryDeal(ulong ticket);
  const OrderInfo& HistoryOrder(ulong ticket);
  bool FactsOf(const string& name, SymbolFacts& facts);

  Terminal5* account_ = nullptr;
  PositionInfo position_;
  OrderInfo order_;
  bool has_position_ = false, has_order_ = false;
  std::vector<DealInfo> history_deals_;
  std::vector<OrderInfo> history_orders_;
  std::unordered_map<ulong, size_t> deal_index_, order_index_;  // ticket -> record
};

}  // namespace mql
