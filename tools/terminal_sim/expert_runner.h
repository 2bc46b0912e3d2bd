// One expert, MQL4 or MQL5, on one chart, as the terminal runs it: on a thread of its own, its inputs set,
// OnInit, then its timer events (one pending at most: a handler that overran gets the next at
// once, none are made up) and its ticks, and OnDeinit when it is removed. A failed OnInit is
// followed by OnDeinit(REASON_INITFAILED) and the end of the expert; a critical error ends it
// where it happens, without OnDeinit.
#pragma once
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "mql4_program.h"
#include "mql5_program.h"

class ExpertRunner {
 public:
  using Inputs = std::vector<std::pair<std::string, std::string>>;

  ExpertRunner(std::unique_ptr<mql::Program4> program, mql::Terminal4& terminal, const mql::ChartInfo& chart,
               Inputs inputs);
  ExpertRunner(std::unique_ptr<mql::Program5> program, mql::Terminal5& terminal, const mql::ChartInfo& chart,
               Inputs inputs);
  ~ExpertRunner();  // removes the expert if it still runs

  void Start();
  // Removes the expert (OnDeinit gets `reason`) and waits until its thread ended.
  void Stop(int reason);

  enum class State { kStarting, kRunning, kEnded };
  State state() const { return state_.load(); }
  // What OnInit answered (-1: it never did, for an input that does not read or a critical error).
  int InitResult() const { return init_result_.load(); }

 private:
  // `program` attached to `terminal` already.
  ExpertRunner(std::unique_ptr<mql::Program> program, mql::Terminal& terminal, Inputs inputs);
  void Run();
  bool Events();
  bool Handle(void (mql::Program::*handler)());
  void Deinit(int reason);

  std::unique_ptr<mql::Program> program_;
  mql::Terminal& terminal_;
  Inputs inputs_;
  std::thread thread_;
  std::atomic<State> state_{State::kStarting};
  std::atomic<int> init_result_{-1};
  std::atomic<int> deinit_reason_{1};
  std::atomic<bool> stopping_{false};
};

// "Name=value;Name=value", the inputs as a terminal's properties dialog holds them; false for
// an item without '='.
bool ParseInputs(const std::string& text, ExpertRunner::Inputs& inputs);
