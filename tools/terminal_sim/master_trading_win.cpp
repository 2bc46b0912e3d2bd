#include "master_trading_win.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <ctime>

#include "account_options.h"
#include "bench_support_win.h"
#include "master_history.h"
#include "scenario_player.h"
#include "sim_process.h"
#include "timer_pace.h"
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

class MasterExpert {
 public:
  MasterExpert(const MasterExports& m, const TradingOptions& opt, TradeServer& server)
      : m_(m), opt_(opt), server_(server), window_(opt.window) {}

  void Init() {
    m_.init(0, 0);
    m_.find_window(opt_.channel.c_str());
    m_.marker_send(window_, opt_.instance);
    last_marker_ = GetTickCount();
  }

  void OnTimer() {
    if (GetTickCount() - last_marker_ >= kMarkerIntervalMs) {
      last_marker_ = GetTickCount();
      if (m_.marker_send(window_, opt_.instance) == -1) FindHub();
    }
    const std::string login = server_.AccountLogin();
    if (login.empty() || login == "0") return;  // not logged in
    BuildImage(login);
    const int crc = m_.get_crc();
    if (sent_ && crc == sent_crc_) return;
    m_.image_send(window_);
    sent_ = true;
    sent_crc_ = crc;
    std::printf("image %d: %d market, %d history, crc %u\n", ++published_, server_.OrdersTotal(),
                static_cast<int>(history_.size()), static_cast<unsigned>(crc));
    std::fflush(stdout);
  }

  void Deinit() { m_.deinit(window_, opt_.instance); }

 private:
  void FindHub() {
    if (m_.find_window(opt_.channel.c_str()) == 0 || m_.marker_send(window_, opt_.instance) == -1) return;
    sent_ = false;  // a hub started anew holds no image of this master
  }

  void Append(int pool, const SimOrder& o) {
    const bool closed = pool == 1;
    m_.image_append(pool, PriceDigits(server_, o.symbol), LotsDigits(server_, o.symbol, 2), o.ticket,
                    o.open_time, o.type, o.lots, o.symbol.c_str(), o.open_price, o.stop_loss,
                    o.take_profit, closed ? o.close_time : 0, closed ? o.close_price : 0.0, o.magic,
                    o.expiration, o.comment.c_str());
  }

  void BuildImage(const std::string& login) {
    m_.image_clear();
    m_.image_set(opt_.channel.c_str(), login.c_str());
    const int open_total = server_.OrdersTotal();
    for (int i = 0; i < open_total; i++) {
      SimOrder o;
      if (server_.OrderSelectByPos(i, kModeTrades, o)) Append(0, o);
    }
    if (server_.OrdersHistoryTotal() != history_total_ || open_total != open_total_ ||
        GetTickCount() - history_chosen_ >= kHistoryRescanMs) {
      history_total_ = server_.OrdersHistoryTotal();
      open_total_ = open_total;
      history_chosen_ = GetTickCount();
      history_ = ChooseHistory(server_);
    }
    for (int ticket : history_) {
      SimOrder o;
      if (server_.OrderSelectByTicket(ticket, o)) Append(1, o);
    }
  }

  const MasterExports& m_;
  const TradingOptions& opt_;
  TradeServer& server_;
  const int window_;
  DWORD last_marker_ = 0;
  bool sent_ = false;
  int sent_crc_ = 0, published_ = 0;
  int history_total_ = -1, open_total_ = -1;
  DWORD history_chosen_ = 0;
  std::vector<int> history_;
};

}  // namespace

int RunTradingMaster(const MasterExports& m, const TradingOptions& opt,
                     const std::vector<ScenarioStep>& steps) {
  AccountSetup setup;
  setup.start_time = static_cast<int>(std::time(nullptr));
  setup.first_ticket = FirstTicket(steps);
  TradeServer server(setup);
  if (!OpenAccount(server, opt)) return 2;
  FollowWallClock(server);

  MasterExpert expert(m, opt, server);
  expert.Init();
  const DWORD start = GetTickCount();
  DWORD resume_at = start, clock_at = start;
  size_t next = 0;
  bool failed = false, announced = false;
  TimerPace timer(kTimerMs, bench::Now());
  while (!g_stop) {
    const DWORD now = GetTickCount();
    server.Advance(static_cast<int>(now - clock_at));
    clock_at = now;
    // The scenario trades between the expert's timer events; a wait lets the wall clock pass.
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
    expert.OnTimer();
    const bool scenario_done = next >= steps.size() && static_cast<int>(now - resume_at) >= 0;
    if (scenario_done && !announced) {
      std::printf("scenario done\n");
      std::fflush(stdout);
      announced = true;
    }
    if (opt.duration_ms > 0 ? now - start >= static_cast<DWORD>(opt.duration_ms) : scenario_done) break;
    Sleep(static_cast<DWORD>(std::ceil(timer.WaitFrom(bench::Now()))));
  }
  if (!announced) std::printf("scenario stopped\n");
  std::fflush(stdout);
  expert.Deinit();
  return failed ? 5 : 0;
}
