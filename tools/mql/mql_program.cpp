#include "mql_program.h"

#include <chrono>
#include <thread>

namespace mql {

void Program::AttachTerminal(Terminal& terminal, const ChartInfo& chart) {
  terminal_ = &terminal;
  chart_ = chart;
}

int Program::GetLastError() {
  const int error = _LastError;
  _LastError = 0;
  return error;
}

bool Program::SymbolSelect(string name, bool select) { return terminal_->SymbolSelect(name.Utf8(), select); }

// --- Time.

datetime Program::TimeCurrent() { return terminal_->TimeCurrent(); }
uint Program::GetTickCount() { return terminal_->GetTickCount(); }

// A stopping expert's Sleep ends at once, so that its handler can return.
void Program::Sleep(int milliseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
  while (!IsStopped() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        std::chrono::milliseconds(1), until - std::chrono::steady_clock::now()));
}

// --- Global variables.

bool Program::GlobalVariableCheck(string name) { return terminal_->GlobalVariableCheck(name.Utf8()); }

double Program::GlobalVariableGet(string name) {
  double value = 0;
  if (!terminal_->GlobalVariableGet(name.Utf8(), value)) _LastError = errors_.global_variable_not_found;
  return value;
}

datetime Program::GlobalVariableSet(string name, double value) {
  return terminal_->GlobalVariableSet(name.Utf8(), value);
}

void Program::GlobalVariablesFlush() { terminal_->GlobalVariablesFlush(); }

// --- The chart.

mlong Program::ChartGetInteger(mlong chart_id, int prop_id, int) {
  if ((chart_id == 0 || chart_id == chart_.id) && prop_id == common::CHART_WINDOW_HANDLE) return chart_.window;
  _LastError = errors_.wrong_chart_property;
  return 0;
}

bool Program::EventSetMillisecondTimer(int milliseconds) {
  if (milliseconds <= 0) return false;
  timer_ms_ = milliseconds;
  return true;
}

// --- Imports.

void* Program::Bind(int slot, const char* library, const char* name) {
  if (slot >= static_cast<int>(imports_.size())) imports_.resize(slot + 1, nullptr);
  if (imports_[slot]) return imports_[slot];
  const std::string call = std::string("Cannot call '") + library + "::" + name + "', ";
  if (!terminal_->IsDllsAllowed()) throw CriticalError(call + "DLL is not allowed: unresolved import function call");
  std::string error;
  imports_[slot] = terminal_->ImportFunction(library, name, error);
  if (!imports_[slot]) throw CriticalError(call + error + ": unresolved import function call");
  return imports_[slot];
}

}  // namespace mql
