#include "sim_terminal.h"

#include <cstdlib>

#include "mql4_program.h"
#include "trade_error_codes.h"

namespace {

mql::OrderRecord RecordOf(const SimOrder& o) {
  mql::OrderRecord r;
  r.ticket = o.ticket;
  r.type = o.type;
  r.lots = o.lots;
  r.symbol = o.symbol;
  r.open_price = o.open_price;
  r.stop_loss = o.stop_loss;
  r.take_profit = o.take_profit;
  r.open_time = o.open_time;
  r.close_time = o.close_time;
  r.close_price = o.close_price;
  r.expiration = o.expiration;
  r.magic = o.magic;
  r.comment = o.comment;
  return r;
}

}  // namespace

SimTerminal::SimTerminal(TradeServer& server, LibraryLoader loader, std::string globals)
    : SimTerminalBase(std::move(loader), std::move(globals)), server_(server) {}

int SimTerminal::OrderSend(const std::string& symbol, int cmd, double volume, double price, int slippage,
                           double stop_loss, double take_profit, const std::string& comment, int magic,
                           mql::mlong expiration, int& error) {
  server_.GetLastError();
  const int ticket = server_.OrderSend(symbol, cmd, volume, price, slippage, stop_loss, take_profit, comment, magic,
                                       static_cast<int>(expiration));
  error = server_.GetLastError();
  return ticket;
}

bool SimTerminal::OrderClose(int ticket, double lots, double price, int slippage, int& error) {
  server_.GetLastError();
  const bool done = server_.OrderClose(ticket, lots, price, slippage);
  error = server_.GetLastError();
  return done;
}

bool SimTerminal::OrderModify(int ticket, double price, double stop_loss, double take_profit,
                              mql::mlong expiration, int& error) {
  server_.GetLastError();
  const bool done = server_.OrderModify(ticket, price, stop_loss, take_profit, static_cast<int>(expiration));
  error = server_.GetLastError();
  return done;
}

bool SimTerminal::OrderDelete(int ticket, int& error) {
  server_.GetLastError();
  const bool done = server_.OrderDelete(ticket);
  error = server_.GetLastError();
  return done;
}

bool SimTerminal::OrderByPosition(int index, int pool, mql::OrderRecord& order) {
  SimOrder o;
  if (!server_.OrderSelectByPos(index, pool == 1 ? kModeHistory : kModeTrades, o)) return false;
  order = RecordOf(o);
  return true;
}

bool SimTerminal::OrderByTicket(int ticket, mql::OrderRecord& order) {
  SimOrder o;
  if (!server_.OrderSelectByTicket(ticket, o)) return false;
  order = RecordOf(o);
  return true;
}

double SimTerminal::MarketInfo(const std::string& symbol, int mode, int& error) {
  server_.GetLastError();
  const double value = server_.MarketInfo(symbol, mode);
  error = server_.GetLastError();
  return value;
}

bool SimTerminal::SymbolSelect(const std::string& symbol, bool) {
  int error = 0;
  MarketInfo(symbol, kModeDigits, error);
  return error != kErrUnknownSymbol;
}

double SimTerminal::Bid(const std::string& symbol) {
  int error = 0;
  return MarketInfo(symbol, kModeBid, error);
}

int SimTerminal::AccountNumber() { return std::atoi(server_.AccountLogin().c_str()); }
