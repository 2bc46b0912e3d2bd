#include "sim_terminal_base.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

using Lock = std::lock_guard<std::mutex>;

}  // namespace

SimTerminalBase::SimTerminalBase(LibraryLoader loader, std::string globals)
    : loader_(std::move(loader)), globals_path_(std::move(globals)) {
  if (globals_path_.empty()) return;
  std::ifstream in(globals_path_);
  std::string name;
  double value;
  while (in >> name >> value) globals_[name] = value;
}

SimTerminalBase::~SimTerminalBase() { WriteGlobals(); }

mql::uint SimTerminalBase::GetTickCount() {
  return static_cast<mql::uint>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
}

bool SimTerminalBase::GlobalVariableCheck(const std::string& name) {
  Lock lock(mutex_);
  return globals_.count(name) != 0;
}

bool SimTerminalBase::GlobalVariableGet(const std::string& name, double& value) {
  Lock lock(mutex_);
  const auto found = globals_.find(name);
  if (found == globals_.end()) return false;
  value = found->second;
  return true;
}

mql::mlong SimTerminalBase::GlobalVariableSet(const std::string& name, double value) {
  if (name.empty() || name.size() > 63 || name.find_first_of(" \t\r\n") != std::string::npos) return 0;
  Lock lock(mutex_);
  globals_[name] = value;
  return TimeCurrent();
}

void SimTerminalBase::GlobalVariablesFlush() { WriteGlobals(); }

// A new file in full beside the old one takes its place: a terminal killed while writing
// keeps the variables it had.
void SimTerminalBase::WriteGlobals() {
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

void SimTerminalBase::Print(const mql::Program&, const std::string& line) {
  Lock lock(mutex_);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void* SimTerminalBase::ImportFunction(const std::string& library, const std::string& name, std::string& error) {
  return loader_(library, name, error);
}

void SimTerminalBase::ImportCalling(const mql::Program& program, const char* name) {
  if (watcher_) watcher_->Calling(program, name);
}

void SimTerminalBase::ImportReturned(const mql::Program& program, const char* name, double result) {
  if (watcher_) watcher_->Returned(program, name, result);
}
