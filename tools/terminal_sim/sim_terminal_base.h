// What the simulated terminals for MQL4 and MQL5 share beyond their accounts: the terminal's
// global variables (kept in a file through restarts), its journal on standard output, its
// libraries, loaded once for all its charts by a loader it is given, and a watcher that may
// follow every library call of its experts. Safe for several experts' threads.
#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "mql_terminal.h"

// Follows the library calls of a terminal's experts, on the calling expert's thread.
class CallWatcher {
 public:
  virtual ~CallWatcher() = default;
  virtual void Calling(const mql::Program& program, const char* name) = 0;
  virtual void Returned(const mql::Program& program, const char* name, double result) = 0;
};

class SimTerminalBase : public virtual mql::Terminal {
 public:
  // The function `name` of `library`, or nullptr with `error` saying why.
  using LibraryLoader = std::function<void*(const std::string& library, const std::string& name, std::string& error)>;

  // `globals`: the file of the terminal's global variables ("" for none kept).
  SimTerminalBase(LibraryLoader loader, std::string globals);
  ~SimTerminalBase() override;

  void SetWatcher(CallWatcher* watcher) { watcher_ = watcher; }
  void SetTradeAllowed(bool allowed) { trade_allowed_ = allowed; }

  bool IsConnected() override { return true; }
  bool IsTradeAllowed() override { return trade_allowed_; }
  bool IsDllsAllowed() override { return true; }
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

  LibraryLoader loader_;
  std::string globals_path_;
  CallWatcher* watcher_ = nullptr;
  bool trade_allowed_ = true;
  std::mutex mutex_;  // the globals and the journal
  std::map<std::string, double> globals_;
};
