// What the tests' terminals for MQL4 and MQL5 programs share: a clock the test sets, global
// variables in memory, a journal of printed lines, and libraries made of the test's own
// functions; every library call is recorded.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "mql_program.h"

struct FakeTerminalBase : virtual mql::Terminal {
  mql::mlong now = 1252972800;
  mql::uint ticks = 1000;
  bool dlls_allowed = true, trade_allowed = true;
  std::map<std::string, double> globals;
  int flushes = 0;
  std::vector<std::string> journal;
  std::map<std::string, void*> functions;  // "library::name" -> the function
  std::vector<std::string> calls;          // "name" and "name -> result", in order

  double AccountBalance() override { return 10000; }
  double AccountEquity() override { return 10000; }
  double AccountFreeMargin() override { return 10000; }
  bool IsConnected() override { return true; }
  bool IsTradeAllowed() override { return trade_allowed; }
  bool IsDllsAllowed() override { return dlls_allowed; }
  mql::mlong TimeCurrent() override { return now; }
  mql::uint GetTickCount() override { return ticks; }
  bool GlobalVariableCheck(const std::string& name) override { return globals.count(name) != 0; }
  bool GlobalVariableGet(const std::string& name, double& value) override {
    const auto found = globals.find(name);
    if (found == globals.end()) return false;
    value = found->second;
    return true;
  }
  mql::mlong GlobalVariableSet(const std::string& name, double value) override {
    globals[name] = value;
    return now;
  }
  void GlobalVariablesFlush() override { flushes++; }
  void Print(const mql::Program&, const std::string& line) override { journal.push_back(line); }
  void* ImportFunction(const std::string& library, const std::string& name, std::string& error) override {
    const auto found = functions.find(library + "::" + name);
    if (found != functions.end()) return found->second;
    error = "'" + library + "' is not loaded";
    return nullptr;
  }
  void ImportCalling(const mql::Program&, const char* name) override { calls.push_back(name); }
  void ImportReturned(const mql::Program&, const char* name, double result) override {
    calls.push_back(std::string(name) + " -> " + mql::NumberText(result));
  }
};
