#include "sim_terminal.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "mql_program.h"
#include "trade_error_codes.h"

namespace {

using Lock = std::lock_guard<std::mutex>;

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
    : server_(server), loader_(std::move(loader)), globals_path_(std::move(globals)) {
  if (globals_path_.empty()) return;
  std::ifstream in(globals_path_);
  std::string name;
  double value;
  while (in >> name >> value) globals_[name] = value;
}

SimTerminal::~SimTerminal() { WriteGlobals(); }

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

int SimTerminal::AccountNumber() { return std::atoi(server_.AccountLogin().c_str()); }

mql::uint SimTerminal::GetTickCount() {
  return static_cast<mql::uint>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
}

bool SimTerminal::GlobalVariableCheck(const std::string& name) {
  Lock lock(mutex_);
  return globals_.count(name) != 0;
}

bool SimTerminal::GlobalVariableGet(const std::string& name, double& value) {
  Lock lock(mutex_);
  const auto found = globals_.find(name);
  if (found == globals_.end()) return false;
  value = found->second;
  return true;
}

mql::mlong SimTerminal::GlobalVariableSet(const std::string& name, double value) {
  if (name.empty() || name.size() > 63 || name.find_first_of(" \t\r\n") != std::string::npos) return 0;
  Lock lock(mutex_);
  globals_[name] = value;
  return server_.TimeCurrent();
}

void SimTerminal::GlobalVariablesFlush() { WriteGlobals(); }

// A new file in full beside the old one takes its place: a terminal killed while writing
// keeps the variables it had.
void SimTerminal::WriteGlobals() {
  if (globals_path_.empty()) return;
  Lock lock(mutex_);
  std::ostringstream text;
  text.precision(17);
  for (const auto& [name, value] : globals_) text << name << " " << value << "\n";
  const std::string fresh = globals_path_ + ".new";
  {
    std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
    out << text.str();
    if (!out.flush()) return;
  }
  std::remove(globals_path_.c_str());
  std::rename(fresh.c_str(), globals_path_.c_str());
}

void SimTerminal::Print(const mql::Program&, const std::string& line) {
  Lock lock(mutex_);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void* SimTerminal::ImportFunction(const std::string& library, const std::string& name, std::string& error) {
  return loader_(library, name, error);
}

void SimTerminal::ImportCalling(const mql::Program& program, const char* name) {
  if (watcher_) watcher_->Calling(program, name);
}

void SimTerminal::ImportReturned(const mql::Program& program, const char* name, double result) {
  if (watcher_) watcher_->Returned(program, name, result);
}
