#include "copier_builders.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

template <size_t N>
void CopyText(char (&field)[N], const char* text) {
  std::snprintf(field, N, "%s", text);
}

std::string Short(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.5f", value);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

}  // namespace

Master::Master(int32_t ticket, int32_t type, double lots, const char* symbol, double price) : order{} {
  order.num1 = ticket;
  order.num2 = int32_t(kNow - 5);
  order.type = type;
  order.lots = lots;
  CopyText(order.symbol, symbol);
  order.price6 = price;
}

Master& Master::Comment(const char* text) {
  CopyText(order.comment, text);
  return *this;
}

Master& Master::From(int32_t parent) {
  return Comment(("from #" + std::to_string(parent)).c_str());
}

Master& Master::To(int32_t remainder) {
  return Comment(("to #" + std::to_string(remainder)).c_str());
}

TImage Image(const char* login, std::vector<TOrder> open, std::vector<TOrder> closed) {
  return TImage{"qelv_channel_1", login, std::move(open), std::move(closed)};
}

Slave::Slave(int32_t ticket, int32_t type, double lots, const char* symbol, double price) {
  order.ticket = ticket;
  order.type = type;
  order.lots = lots;
  order.symbol = symbol;
  order.open_price = price;
}

SymbolFacts Eurusd(const char* name) {
  return {name, true, 5, 0.00001, 0.01, 100, 0.01, 10, 1.08340, 1.08350};
}

SymbolFacts Gold(const char* name) { return {name, true, 2, 0.01, 0.1, 50, 0.1, 50, 1950.00, 1950.50}; }

SymbolFacts MinimumLots(SymbolFacts facts, double lots) {
  facts.lot_min = lots;
  return facts;
}

SlaveState Account(std::vector<SlaveOrder> open, std::vector<SlaveOrder> history, std::vector<SymbolFacts> symbols) {
  SlaveState slave;
  slave.open = std::move(open);
  slave.history = std::move(history);
  slave.symbols = std::move(symbols);
  slave.now = kNow;
  return slave;
}

std::string Describe(const CopyAction& a) {
  std::string ticket = "#" + std::to_string(a.ticket);
  switch (a.kind) {
    case ActionKind::kOpen: {
      std::string text = "open " + a.login + " #" + std::to_string(a.root_ticket) + ": " + OrderTypeName(a.type) +
                         " " + Short(a.lots) + " " + a.symbol + " at " + Short(a.price) + " sl " + Short(a.sl) +
                         " tp " + Short(a.tp);
      return a.expiration ? text + " exp " + std::to_string(a.expiration) : text;
    }
    case ActionKind::kClose: return "close " + ticket + " " + Short(a.lots);
    case ActionKind::kPartialClose: return "partial close " + ticket + " " + Short(a.lots);
    case ActionKind::kModify:
      return "modify " + ticket + " at " + Short(a.price) + " sl " + Short(a.sl) + " tp " + Short(a.tp) + " exp " +
             std::to_string(a.expiration);
    case ActionKind::kDelete: return "delete " + ticket;
  }
  return "?";
}

std::vector<std::string> Describe(const std::vector<CopyAction>& actions) {
  std::vector<std::string> lines;
  for (const CopyAction& action : actions) lines.push_back(Describe(action));
  return lines;
}

void TestTerminal::Run(const CopyAction& a, SlaveState& slave) {
  if (a.kind == ActionKind::kOpen) {
    SlaveOrder order;
    order.ticket = next_ticket_++;
    order.type = a.type;
    order.lots = a.lots;
    order.symbol = a.symbol;
    order.open_price = a.price;
    order.sl = a.sl;
    order.tp = a.tp;
    order.magic = a.magic;
    order.expiration = a.expiration;
    slave.open.push_back(order);
    return;
  }
  for (size_t i = 0; i < slave.open.size(); i++) {
    SlaveOrder& order = slave.open[i];
    if (order.ticket != a.ticket) continue;
    switch (a.kind) {
      case ActionKind::kModify:
        order.open_price = a.price, order.sl = a.sl, order.tp = a.tp, order.expiration = a.expiration;
        return;
      case ActionKind::kPartialClose: {
        SlaveOrder closed = order, rest = order;
        closed.lots = a.lots;
        rest.ticket = next_ticket_++;
        rest.lots = std::round((order.lots - a.lots) * 1e8) / 1e8;
        slave.history.push_back(closed);
        slave.open.erase(slave.open.begin() + i);
        slave.open.push_back(rest);
        return;
      }
      default:
        slave.history.push_back(order);
        slave.open.erase(slave.open.begin() + i);
        return;
    }
  }
}
