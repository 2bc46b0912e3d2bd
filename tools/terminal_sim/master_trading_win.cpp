#include "master_trading_win.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "account_options.h"
#include "expert_runner.h"
#include "library_loader_win.h"
#include "scenario_player.h"
#include "shipped_experts.h"
#include "sim_process.h"
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

}  // namespace

int RunTradingMaster(const TradingOptions& opt, const std::vector<ScenarioStep>& steps) {
  ExpertRunner::Inputs inputs{{"ChannelId", opt.channel}, {"Instance", std::to_string(opt.instance)}};
  if (!ParseInputs(opt.inputs, inputs)) {
    std::fprintf(stderr, "terminal_sim: inputs are Name=value items separated by ';': %s\n", opt.inputs.c_str());
    return 2;
  }
  AccountSetup setup;
  setup.start_time = static_cast<int>(std::time(nullptr));
  setup.first_ticket = FirstTicket(steps);
  TradeServer server(setup);
  if (!OpenAccount(server, opt)) return 2;
  FollowWallClock(server);

  SendWatcher watcher;
  const std::string library = opt.dll.substr(opt.dll.find_last_of("\\/") + 1);
  SimTerminal terminal(server, LibraryLoaderFor({{library, opt.dll}}), opt.journal.empty() ? "" : opt.journal + ".globals");
  terminal.SetWatcher(&watcher);
  mql::ChartInfo chart;
  chart.id = 130000000000000000LL + opt.window;
  chart.window = opt.window;
  ExpertRunner expert(NewMasterExpert(), terminal, chart, inputs);
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
      const std::string problem = PlayStep(server, step);
      if (!problem.empty()) {
        std::fprintf(stderr, "terminal_sim: scenario: %s\n", problem.c_str());
        std::printf("scenario failed: %s\n", problem.c_str());
        failed = true;
      }
    }
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
