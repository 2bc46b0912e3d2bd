// What every translated program, MQL4 or MQL5, is made of: its inputs and event handlers, as the
// translator writes them in a class derived from Program4 or Program5, and the functions the two
// languages share (the last error, time, the terminal's global variables, the chart, the timer,
// Print, library calls), as members so that the translated code calls them by their plain names.
//
// One object is one expert on one chart: its globals are the object's members, so several
// experts of one source run side by side in one terminal. Its handlers are called on one
// thread, the expert's; a critical error (CriticalError) ends the expert where it happens.
#pragma once
#include <atomic>
#include <string>
#include <type_traits>
#include <vector>

#include "mql_builtins.h"
#include "mql_critical_error.h"
#include "mql_terminal.h"

namespace mql {

// An input as the expert's properties show it.
struct InputInfo {
  std::string name;
  std::string type;           // as declared: "string", "double", "int", "bool", ...
  std::string default_value;  // as written in the source
  std::string description;    // the comment behind it
};

class Program {
 public:
  enum Handler : unsigned { kOnInit = 1, kOnDeinit = 2, kOnTimer = 4, kOnTick = 8 };

  virtual ~Program() = default;

  // --- Written by the translator.
  virtual const char* Name() const = 0;  // the source's name without its extension
  virtual std::vector<InputInfo> Inputs() const = 0;
  // Sets an input from its text as the properties dialog takes it (a number, true/false, a
  // text); false, with nothing changed, for an unknown name or a value that does not read.
  virtual bool SetInput(const std::string& name, const std::string& value) = 0;
  virtual unsigned Handlers() const = 0;  // Handler bits of the handlers the source defines
  virtual int OnInit() { return common::INIT_SUCCEEDED; }
  virtual void OnDeinit(const int reason) { (void)reason; }
  virtual void OnTimer() {}
  virtual void OnTick() {}

  // --- The terminal's side.
  const ChartInfo& Chart() const { return chart_; }
  // The timer EventSetMillisecondTimer set, 0 for none.
  int TimerMs() const { return timer_ms_.load(); }
  // IsStopped() answers true from now on; a Sleep() under way ends.
  void RequestStop() { stop_ = true; }

 protected:
  // The codes each language's GetLastError() gives a missing global variable and a chart
  // property it does not have.
  struct SharedErrors {
    int global_variable_not_found;
    int wrong_chart_property;
  };
  explicit Program(SharedErrors errors) : errors_(errors) {}
  void AttachTerminal(Terminal& terminal, const ChartInfo& chart);

  // Errors.
  int GetLastError();
  void ResetLastError() { _LastError = 0; }
  int _LastError = 0;

  bool SymbolSelect(string name, bool select);
  bool IsStopped() { return stop_.load(); }

  // Time.
  datetime TimeCurrent();
  uint GetTickCount();
  void Sleep(int milliseconds);

  // The terminal's global variables.
  bool GlobalVariableCheck(string name);
  double GlobalVariableGet(string name);
  datetime GlobalVariableSet(string name, double value);
  void GlobalVariablesFlush();

  // The chart and its events.
  mlong ChartGetInteger(mlong chart_id, int prop_id, int sub_window = 0);
  mlong ChartID() { return chart_.id; }
  string Symbol() { return string::FromUtf8(chart_.symbol); }
  bool EventSetMillisecondTimer(int milliseconds);
  bool EventSetTimer(int seconds) { return EventSetMillisecondTimer(seconds * 1000); }
  void EventKillTimer() { timer_ms_ = 0; }

  template <typename... Values>
  void Print(const Values&... values) {
    std::string line;
    (line.append(PrintText(values)), ...);
    terminal_->Print(*this, line);
  }

  // A call of the imported function `name` of `library`, bound at its first call; `slot`
  // numbers the source's imports. Arguments come converted to what the library takes.
  template <typename Function, typename... Arguments>
  auto ImportCall(int slot, const char* library, const char* name, Arguments... arguments) {
    const auto function = reinterpret_cast<Function>(Bind(slot, library, name));
    terminal_->ImportCalling(*this, name);
    if constexpr (std::is_void_v<decltype(function(arguments...))>) {
      function(arguments...);
      terminal_->ImportReturned(*this, name, 0);
    } else {
      const auto result = function(arguments...);
      terminal_->ImportReturned(*this, name, static_cast<double>(result));
      return result;
    }
  }

 private:
  // How Print writes a value: numbers as the terminal's journal shows them.
  static std::string PrintText(const string& text) { return text.Utf8(); }
  static std::string PrintText(datetime time) { return TimeText(time); }
  template <typename N, typename = std::enable_if_t<std::is_arithmetic_v<N> || std::is_enum_v<N>>>
  static std::string PrintText(N value) {
    if constexpr (std::is_enum_v<N>) return ValueText(static_cast<std::underlying_type_t<N>>(value));
    else return ValueText(value);
  }

  void* Bind(int slot, const char* library, const char* name);

  SharedErrors errors_;
  Terminal* terminal_ = nullptr;
  ChartInfo chart_;
  std::atomic<int> timer_ms_{0};
  std::atomic<bool> stop_{false};
  std::vector<void*> imports_;
};

}  // namespace mql
