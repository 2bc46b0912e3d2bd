#include "expert_runner.h"

#include <chrono>
#include <cmath>

#include "timer_pace.h"

namespace {

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

template <typename Language, typename Account>
std::unique_ptr<mql::Program> Attached(std::unique_ptr<Language> program, Account& terminal,
                                       const mql::ChartInfo& chart) {
  program->Attach(terminal, chart);
  return program;
}

}  // namespace

ExpertRunner::ExpertRunner(std::unique_ptr<mql::Program4> program, mql::Terminal4& terminal,
                           const mql::ChartInfo& chart, Inputs inputs)
    : ExpertRunner(Attached(std::move(program), terminal, chart), terminal, std::move(inputs)) {}

ExpertRunner::ExpertRunner(std::unique_ptr<mql::Program5> program, mql::Terminal5& terminal,
                           const mql::ChartInfo& chart, Inputs inputs)
    : ExpertRunner(Attached(std::move(program), terminal, chart), terminal, std::move(inputs)) {}

ExpertRunner::ExpertRunner(std::unique_ptr<mql::Program> program, mql::Terminal& terminal, Inputs inputs)
    : program_(std::move(program)), terminal_(terminal), inputs_(std::move(inputs)) {}

ExpertRunner::~ExpertRunner() { Stop(mql::common::REASON_REMOVE); }

void ExpertRunner::Start() { thread_ = std::thread([this] { Run(); }); }

void ExpertRunner::Stop(int reason) {
  deinit_reason_ = reason;
  stopping_ = true;
  program_->RequestStop();
  if (thread_.joinable()) thread_.join();
}

// False when the handler met a critical error: the expert is stopped then.
bool ExpertRunner::Handle(void (mql::Program::*handler)()) {
  try {
    (program_.get()->*handler)();
    return true;
  } catch (const mql::CriticalError& e) {
    terminal_.Print(*program_, std::string(program_->Name()) + ": critical error: " + e.what() +
                                   "; the expert is stopped");
    return false;
  }
}

void ExpertRunner::Run() {
  const std::string name = program_->Name();
  for (const auto& [input, value] : inputs_)
    if (!program_->SetInput(input, value)) {
      terminal_.Print(*program_, name + ": the input " + input + "=" + value + " does not read; the expert is not started");
      state_ = State::kEnded;
      return;
    }
  int result = -1;
  try {
    result = program_->OnInit();
  } catch (const mql::CriticalError& e) {
    terminal_.Print(*program_, name + ": critical error: " + e.what() + "; the expert is stopped");
    state_ = State::kEnded;
    return;
  }
  init_result_ = result;
  if (result != mql::common::INIT_SUCCEEDED) {
    terminal_.Print(*program_, name + ": initialization failed (" + std::to_string(result) + ")");
    Deinit(mql::common::REASON_INITFAILED);
    state_ = State::kEnded;
    return;
  }
  state_ = State::kRunning;
  if (Events()) Deinit(deinit_reason_);  // else a critical error ended it: no OnDeinit
  state_ = State::kEnded;
}

void ExpertRunner::Deinit(int reason) {
  try {
    program_->OnDeinit(reason);
  } catch (const mql::CriticalError& e) {
    terminal_.Print(*program_, std::string(program_->Name()) + ": critical error: " + e.what());
  }
}

// Until the expert is asked to stop (true), or a handler meets a critical error (false).
bool ExpertRunner::Events() {
  const bool ticks = program_->Handlers() & mql::Program::kOnTick;
  const std::string symbol = program_->Chart().symbol;
  double last_bid = ticks ? terminal_.Bid(symbol) : 0;
  int period = 0;
  TimerPace pace(1, NowMs());
  while (!stopping_) {
    if (program_->TimerMs() != period) {
      period = program_->TimerMs();
      pace = TimerPace(period > 0 ? period : 1, NowMs());
    }
    if (period > 0 && !Handle(&mql::Program::OnTimer)) return false;
    if (ticks) {
      const double bid = terminal_.Bid(symbol);
      if (bid != last_bid && !Handle(&mql::Program::OnTick)) return false;
      last_bid = bid;
    }
    const double wait = period > 0 ? pace.WaitFrom(NowMs()) : 1;
    if (wait > 0) std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long long>(std::ceil(wait * 1000))));
  }
  return true;
}

bool ParseInputs(const std::string& text, ExpertRunner::Inputs& inputs) {
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find(';', start), text.size());
    const std::string item = Trimmed(text.substr(start, end - start));
    if (!item.empty()) {
      const size_t equals = item.find('=');
      if (equals == std::string::npos) return false;
      inputs.emplace_back(Trimmed(item.substr(0, equals)), Trimmed(item.substr(equals + 1)));
    }
    start = end + 1;
  }
  return true;
}
