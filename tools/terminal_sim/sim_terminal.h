// The terminal a translated expert runs in, over a simulated trade server: its account, the
// market, the terminal's global variables (kept in a file through restarts), its journal on
// standard output, and its libraries, loaded once for all its charts by a loader it is given.
// A watcher may follow every library call of its experts. Safe for several experts' threads.
#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "mql_terminal.h"
#include "trade_server.h"

// Follows the library calls of a terminal's experts, on the calling expert's thread.
class CallWatcher {
 public:
  virtual ~CallWatcher() = default;
  virtual void Calling(const mql::Program& program, const char* name) = 0;
  virtual void Returned(const mql::Program& program, const char* name, double result) = 0;
};

class SimTerminal : public mql::Terminal {
 public:
  // The function `name` of `library`, or nullptr with `error` saying why.
  using LibraryLoader = std::function<void*(const std::string& library, const std::string& name, std::string& error)>;

  // `globals`: the file of the terminal's global variables ("" for none kept).
  SimTerminal(TradeServer& server, LibraryLoader loader, std::string globals);
  ~SimTerminal() override;

  void SetWatcher(CallWatcher* watcher) { watcher_ = watcher; }
  void SetTradeAllowed(bool allowed) { trade_allowed_ = allowed; }

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
  int AccountNumber() override;
  double AccountBalance() override { return server_.AccountBalance(); }
  double AccountEquity() override { return server_.AccountEquity(); }
  double AccountFreeMargin() override { return server_.AccountFreeMargin(); }
  bool IsConnected() override { return true; }
  bool IsTradeAllowed() override { return trade_allowed_; }
  bool IsTradeContextBusy() override { return server_.IsTradeContextBusy(); }
  bool IsDllsAllowed() override { return true; }
  mql::mlong TimeCurrent() override { return server_.TimeCurrent(); }
  mql::uint GetTickCount() override;
  bool GlobalVariableCheck(const std::string& name) override;
  bool GlobalVariableGet(const std::string& name, double& value) override;
  mql::mlong GlobalVariableSet(const std::string& name, double value) override;
  void GlobalVariablesFlush() override;
  void Print(const mql::Program& program, const std::string& line) override;
  void* ImportFunction(const std::string& library, const std::string& name, std::string& error) override;
  void ImportCalling(const mql::Program& program, const char* name) override;
  void ImportReturned(const mql::Program& program, const char* name, double result) override;

 private:
  void WriteGlobals();

  TradeServer& server_;
  LibraryLoader loader_;
  std::string globals_path_;
  CallWatcher* watcher_ = nullptr;
  bool trade_allowed_ = true;
  std::mutex mutex_;  // the globals and the journal
  std::map<std::string, double> globals_;
};
