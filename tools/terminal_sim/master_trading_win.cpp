#include "master_trading_win.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>

#include "account_options.h"
#include "expert_runner.h"
#include "library_loader_win.h"
#include "scenario_player.h"
#include "shipped_experts.h"
#include "sim_process.h"
#include "mt5_account_file_win.h"
#include "mt5_scenario_player.h"
#include "mt5_sim_terminal.h"
#include "sim_terminal.h"
#include "trade_server.h"

namespace {

const DWORD kTimerMs = 10;
const DWORD kMarkerIntervalMs = 5000;
const DWORD kHistoryRescanMs = 1000;  // the last hour moves on even when no order changes

// The account: the catalog's symbols, the clock on the wall's time, the journal replayed.
bool OpenAccount(TradeServer& server, const TradingOptions& opt) {
  std::vector<OfferedSymbol> offer;
  std::string error;
  if (!ParseSymbolOffer(opt.symbols, offer, error) || !OfferSymbols(server, offer)) {
    std::fprintf(stderr, "terminal_sim: %s\n", error.empty() ? "symbols refused" : error.c_str());
    return false;
  }
  if (!opt.journal.empty() && !server.OpenJournal(opt.journal, error)) {
    std::fprintf(stderr, "terminal_sim: journal %s: %s\n", opt.journal.c_str(), error.c_str());
    return false;
  }
  return true;
}

// The scenario names the tickets its opens get; the remainders of partial closes before the
// first open took the tickets before it. A journal's tickets go on from its own highest.
int FirstTicket(const std::vector<ScenarioStep>& steps) {
  int partial_closes = 0;
  for (const ScenarioStep& step : steps) {
    if (step.kind == ScenarioStep::kOpen) return step.order.ticket - partial_closes;
    if (step.kind == ScenarioStep::kClose && step.order.lots > 0) partial_closes++;
  }
  return 1;
}

// Keeps the server's clock with the wall's, also after a journal set it back.
void FollowWallClock(TradeServer& server) {
  const long long behind = static_cast<long long>(std::time(nullptr)) - server.TimeCurrent();
  if (behind > 0) server.Advance(static_cast<int>(behind > 86400 ? 86400000 : behind * 1000));
}

// Says what the expert sends, as the tests and the demo wait for it: every image with the
// checksum the expert last read.
class SendWatcher : public CallWatcher {
 public:
  void Calling(const mql::Program&, const char*) override {}
  void Returned(const mql::Program&, const char* name, double result) override {
    if (std::strcmp(name, "_get_crc") == 0) {
      crc_ = static_cast<unsigned>(static_cast<int>(result));
    } else if (std::strcmp(name, "_image_send") == 0) {
      std::printf("image %d: crc %u\n", ++sent_, crc_);
      std::fflush(stdout);
    }
  }

 private:
  unsigned crc_ = 0;
  int sent_ = 0;
};

// Plays the scenario between the expert's timer events, the server's clock going with the
// wall's, until the duration or, without one, the scenario's end; `play` carries out one step
// other than a wait and answers what went wrong, `moved` follows every step of the clock.
// Answers the process's exit code.
template <typename Server, typename Play>
int Trade(ExpertRunner& expert, Server& server, const TradingOptions& opt, const std::vector<ScenarioStep>& steps,
          Play play, const std::function<void()>& moved) {
  expert.Start();
  const DWORD start = GetTickCount();
  DWORD resume_at = start, clock_at = start;
  size_t next = 0;
  bool failed = false, announced = false;
  while (!g_stop && expert.state() != ExpertRunner::State::kEnded) {
    const DWORD now = GetTickCount();
    server.Advance(static_cast<int>(now - clock_at));
    clock_at = now;
    // The scenario is the trader's hand, trading between the expert's timer events; a wait
    // lets the wall clock pass.
    while (next < steps.size() && static_cast<int>(now - resume_at) >= 0) {
      const ScenarioStep& step = steps[next++];
      if (step.kind == ScenarioStep::kWait) {
        resume_at = now + step.wait_ms;
        continue;
      }
      const std::string problem = play(step);
      if (!problem.empty()) {
        std::fprintf(stderr, "terminal_sim: scenario: %s\n", problem.c_str());
        std::printf("scenario failed: %s\n", problem.c_str());
        failed = true;
      }
    }
    moved();
    const bool scenario_done = next >= steps.size() && static_cast<int>(now - resume_at) >= 0;
    if (scenario_done && !announced) {
      std::printf("scenario done\n");
      std::fflush(stdout);
      announced = true;
    }
    if (opt.duration_ms > 0 ? now - start >= static_cast<DWORD>(opt.duration_ms) : scenario_done) break;
    Sleep(1);
  }
  if (!announced) std::printf("scenario stopped\n");
  std::fflush(stdout);
  const bool started = expert.InitResult() == mql::builtin::INIT_SUCCEEDED;
  expert.Stop(mql::builtin::REASON_REMOVE);
  return failed ? 5 : started ? 0 : 2;
}

ExpertRunner::Inputs InputsOf(const TradingOptions& opt, bool& read) {
  ExpertRunner::Inputs inputs{{"ChannelId", opt.channel}, {"Instance", std::to_string(opt.instance)}};
  read = ParseInputs(opt.inputs, inputs);
  if (!read) std::fprintf(stderr, "terminal_sim: inputs are Name=value items separated by ';': %s\n", opt.inputs.c_str());
  return inputs;
}

mql::ChartInfo ChartOf(const TradingOptions& opt) {
  mql::ChartInfo chart;
  chart.id = 130000000000000000LL + opt.window;
  chart.window = opt.window;
  return chart;
}

std::string LibraryName(const TradingOptions& opt) { return opt.dll.substr(opt.dll.find_last_of("\\/") + 1); }

int TradeMt4(const TradingOptions& opt, const std::vector<ScenarioStep>& steps, const ExpertRunner::Inputs& inputs) {
  AccountSetup setup;
  setup.start_time = static_cast<int>(std::time(nullptr));
  setup.first_ticket = FirstTicket(steps);
  TradeServer server(setup);
  if (!OpenAccount(server, opt)) return 2;
  FollowWallClock(server);
  SendWatcher watcher;
  SimTerminal terminal(server, LibraryLoaderFor({{LibraryName(opt), opt.dll}}),
                       opt.journal.empty() ? "" : opt.journal + ".globals");
  terminal.SetWatcher(&watcher);
  ExpertRunner expert(NewMasterExpert(), terminal, ChartOf(opt), inputs);
  return Trade(expert, server, opt, steps, [&](const ScenarioStep& step) { return PlayStep(server, step); }, [] {});
}

// The MT5 account logs in once, as the scenario's first login says: its login is fixed for the
// account's life.
int TradeMt5(const TradingOptions& opt, const std::vector<ScenarioStep>& steps, const ExpertRunner::Inputs& inputs) {
  Mt5AccountSetup setup;
  setup.start_time = static_cast<int64_t>(std::time(nullptr));
  setup.first_ticket = 1000001;  // far from the tickets of the MT4 masters' scenarios
  for (const ScenarioStep& step : steps)
    if (step.kind == ScenarioStep::kLogin) {
      setup.login = std::strtoll(step.login.c_str(), nullptr, 10);
      break;
    }
  std::string error;
  const std::unique_ptr<Mt5TradeServer> account = OpenMt5Account(setup, opt.mt5, opt.symbols, error);
  if (!account) {
    std::fprintf(stderr, "terminal_sim: %s\n", error.c_str());
    return 2;
  }
  Mt5TradeServer& server = *account;
  SendWatcher watcher;
  Mt5SimTerminal terminal(server, LibraryLoaderFor({{LibraryName(opt), opt.dll}}),
                          opt.journal.empty() ? "" : opt.journal + ".globals");
  terminal.SetWatcher(&watcher);
  Mt5ScenarioPlayer player(server);
  Mt5AccountFile state(opt.journal);
  ExpertRunner expert(NewMt5MasterExpert(), terminal, ChartOf(opt), inputs);
  return Trade(expert, server, opt, steps, [&](const ScenarioStep& step) { return player.Play(step); },
               [&] { state.Update(server); });
}

}  // namespace

int RunTradingMaster(const TradingOptions& opt, const std::vector<ScenarioStep>& steps) {
  bool read = false;
  const ExpertRunner::Inputs inputs = InputsOf(opt, read);
  if (!read) return 2;
  return opt.mt5.empty() ? TradeMt4(opt, steps, inputs) : TradeMt5(opt, steps, inputs);
}
