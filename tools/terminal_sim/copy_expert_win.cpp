#include "copy_expert_win.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <vector>

#include "account_options.h"
#include "bench_support_win.h"
#include "copy_pass_trace.h"
#include "master_history.h"
#include "sim_process.h"
#include "trade_server.h"

namespace {

enum ActionKind { kClose, kDelete, kPartialClose, kModify, kOpen };

const DWORD kMarkerIntervalMs = 5000;
const int kWaitMs = 250;
const int kSlippage = 30;
const int kHistoryDays = 7;
const int kCommonError = 2;

unsigned char* Bytes(std::string& text) { return reinterpret_cast<unsigned char*>(&text[0]); }

// A zero-ended text of a byte buffer the library filled.
std::string TextOf(const unsigned char* bytes) { return reinterpret_cast<const char*>(bytes); }

double Normalize(double value, int digits) {
  const double scale = std::pow(10.0, digits);
  return std::round(value * scale) / scale;
}

// When this account began following: kept in a file beside the journal, as the terminal keeps
// its global variable through restarts.
int FollowingSince(const std::string& journal, int now) {
  if (journal.empty()) return now;
  const std::string path = journal + ".following";
  int since = 0;
  if (std::ifstream in(path); in >> since && since > 0) return since;
  std::ofstream(path, std::ios::trunc) << now << "\n";
  return now;
}

class CopyExpert {
 public:
  CopyExpert(const SlaveExports& s, const CopyOptions& opt, int chart, TradeServer& server)
      : s_(s), opt_(opt), chart_(chart), server_(server) {}
  ~CopyExpert() {
    if (trace_) std::fclose(trace_);
  }

  // False when the settings have problems: nothing is copied then.
  bool Init() {
    std::string settings = opt_.settings;
    const int problems = s_.copier_settings(chart_, Bytes(settings), static_cast<int>(settings.size()) + 1);
    PrintNewLogLines();
    if (problems != 0) {
      std::printf("the settings have problems (above): nothing is copied until they are corrected\n");
      std::fflush(stdout);
      return false;
    }
    if (!opt_.trace.empty() && !(trace_ = std::fopen(opt_.trace.c_str(), "ab")))
      Print("cannot open the trace " + opt_.trace + "; the passes are not timed");
    s_.init(chart_, 0);
    attached_ = true;
    if (s_.find_window(opt_.channel.c_str()) == 0)
      Print("no hub of channel " + opt_.channel + " is running yet; looking for it every few seconds");
    s_.qelv_marker_send(chart_, opt_.instance);
    last_marker_ = GetTickCount();
    return true;
  }

  void Deinit() {
    s_.copier_end(chart_);
    if (attached_) s_.deinit(chart_, opt_.instance);
    attached_ = false;
  }

  void OnTimer() {
    if (GetTickCount() - last_marker_ >= kMarkerIntervalMs) {
      last_marker_ = GetTickCount();
      if (s_.qelv_marker_send(chart_, opt_.instance) == -1) FindHub();
    }
    pass_ = CopyPassTrace{};
    pass_.wait_began = bench::Now();
    const int published = s_.qelv_wait_crc(held_crc_, kWaitMs);
    pass_.woke = pass_.fetched = pass_.split = bench::Now();
    if (published == -1) {
      if (!FindHub()) Sleep(kWaitMs);  // no hub: keep the pace the wait keeps
    } else if (published != s_.images_calc_crc()) {
      s_.qelv_images_get(chart_);  // the hub's answer is stored before this returns
      pass_.fetched = bench::Now();
      s_.images_split();
      pass_.split = bench::Now();
      held_crc_ = published;
    }
    if (g_stop) return;
    CopyPass();
  }

 private:
  void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  }

  bool FindHub() {
    if (s_.find_window(opt_.channel.c_str()) == 0) return false;
    s_.qelv_marker_send(chart_, opt_.instance);
    return true;
  }

  void AddOrder(int pool, SimOrder& o) {
    s_.copier_order_add(chart_, pool, o.ticket, o.type, o.lots, Bytes(o.symbol),
                        static_cast<int>(o.symbol.size()) + 1, o.open_price, o.stop_loss,
                        o.take_profit, o.magic, o.expiration);
  }

  void CopyPass() {
    const int now = server_.TimeCurrent();
    // The terminal holds its global variables in memory: the file is read once.
    if (following_since_ == 0) following_since_ = FollowingSince(opt_.journal, now);
    s_.copier_begin(chart_, now, following_since_);
    for (int i = server_.OrdersTotal() - 1; i >= 0; i--) {
      SimOrder o;
      if (server_.OrderSelectByPos(i, kModeTrades, o)) AddOrder(0, o);
    }
    const int since = now - kHistoryDays * 86400;
    for (int k = server_.OrdersHistoryTotal() - 1; k >= 0; k--) {
      SimOrder o;
      if (server_.OrderSelectByPos(k, kModeHistory, o) && o.type <= 5 && o.close_time >= since) AddOrder(1, o);
    }
    AddSymbolFacts();
    pass_.gathered = bench::Now();
    const int actions = s_.copier_plan(chart_);
    pass_.planned = bench::Now();
    PrintNewLogLines();
    if (actions <= 0) return;
    if (server_.IsTradeContextBusy()) return;  // the next pass plans again
    for (int a = 0; a < actions; a++)
      if (!RunAction(a)) break;  // the next pass plans from the orders as they are then
    pass_.done = bench::Now();
    pass_.actions = actions;
    WriteTrace();
  }

  void WriteTrace() {
    if (!trace_) return;
    std::fprintf(trace_, "%s\n", FormatPassTrace(pass_).c_str());
    std::fflush(trace_);
  }

  void AddSymbolFacts() {
    unsigned char name_bytes[64];
    const int wanted = s_.copier_symbols_wanted(chart_);
    for (int i = 0; i < wanted; i++) {
      if (s_.copier_symbol_name(chart_, i, name_bytes, sizeof name_bytes) != 1) continue;
      const std::string name = TextOf(name_bytes);
      auto info = [&](MarketInfoMode mode) { return server_.MarketInfo(name, mode); };
      const bool exists = info(kModeDigits) > 0 || server_.GetLastError() != 4106;
      server_.GetLastError();
      s_.copier_symbol_add(chart_, name_bytes, sizeof name_bytes, exists ? 1 : 0,
                           static_cast<int>(info(kModeDigits)), info(kModePoint), info(kModeMinLot),
                           info(kModeMaxLot), info(kModeLotStep), static_cast<int>(info(kModeStopLevel)),
                           info(kModeBid), info(kModeAsk));
      server_.GetLastError();
    }
  }

  // Runs action `index` of the plan and reports its result; false when it was not done.
  bool RunAction(int index) {
    int kind = 0, ticket = 0, type = 0, expiration = 0, magic = 0;
    double lots = 0, price = 0, sl = 0, tp = 0;
    unsigned char symbol_bytes[64], comment_bytes[128];
    if (s_.copier_action_get(chart_, index, &kind, &ticket, symbol_bytes, sizeof symbol_bytes, &type,
                             &lots, &price, &sl, &tp, &expiration, &magic, comment_bytes,
                             sizeof comment_bytes) != 1)
      return false;
    const std::string symbol = TextOf(symbol_bytes);
    const int digits = static_cast<int>(server_.MarketInfo(symbol, kModeDigits));
    const double bid = server_.MarketInfo(symbol, kModeBid);
    const double ask = server_.MarketInfo(symbol, kModeAsk);
    lots = Normalize(lots, LotsDigits(server_, symbol, 0));
    server_.GetLastError();  // ResetLastError()
    bool done = false;
    int new_ticket = 0;
    switch (kind) {
      case kClose:
      case kPartialClose:
        done = server_.OrderClose(ticket, lots, type == 0 ? bid : ask, kSlippage);
        break;
      case kDelete:
        done = server_.OrderDelete(ticket);
        break;
      case kModify:
        done = server_.OrderModify(ticket, Normalize(price, digits), Normalize(sl, digits),
                                   Normalize(tp, digits), expiration);
        break;
      case kOpen: {
        const double open_price = type == 0 ? ask : type == 1 ? bid : Normalize(price, digits);
        new_ticket = server_.OrderSend(symbol, type, lots, open_price, kSlippage, Normalize(sl, digits),
                                       Normalize(tp, digits), TextOf(comment_bytes), magic, expiration);
        done = new_ticket > 0;
        break;
      }
      default:
        Print("action " + std::to_string(index) + " is of an unknown kind " + std::to_string(kind) +
              "; nothing done");
        return false;
    }
    int error = done ? 0 : server_.GetLastError();
    if (!done && error == 0) error = kCommonError;  // failed without a code: still a failure
    if (!done)
      Print("action " + std::to_string(index) + " (kind " + std::to_string(kind) + ", #" +
            std::to_string(ticket) + " " + symbol + ") failed: error " + std::to_string(error));
    s_.copier_action_done(chart_, index, error, done ? new_ticket : 0);
    return done;
  }

  // The plan says again every pass what still holds: print only the lines the last pass lacked.
  void PrintNewLogLines() {
    const int count = s_.copier_log_count(chart_);
    std::vector<std::string> lines;
    unsigned char text[512];
    for (int i = 0; i < count; i++) {
      lines.push_back(s_.copier_log_get(chart_, i, text, sizeof text) == 1 ? TextOf(text) : "");
      if (std::find(last_log_.begin(), last_log_.end(), lines.back()) == last_log_.end()) Print(lines.back());
    }
    last_log_ = lines;
  }

  const SlaveExports& s_;
  const CopyOptions& opt_;
  const int chart_;
  TradeServer& server_;
  bool attached_ = false;
  int held_crc_ = 0;
  DWORD last_marker_ = 0;
  int following_since_ = 0;
  CopyPassTrace pass_;
  std::FILE* trace_ = nullptr;
  std::vector<std::string> last_log_;
};

bool OpenAccount(TradeServer& server, const CopyOptions& opt) {
  std::vector<OfferedSymbol> offer;
  FaultPlan faults;
  std::string error;
  if (!ParseSymbolOffer(opt.symbols, offer, error) || !ParseFaultPlan(opt.faults, faults, error)) {
    std::fprintf(stderr, "terminal_sim: %s\n", error.c_str());
    return false;
  }
  if (!OfferSymbols(server, offer)) {
    std::fprintf(stderr, "terminal_sim: the server refused the symbols\n");
    return false;
  }
  if (!opt.journal.empty() && !server.OpenJournal(opt.journal, error)) {
    std::fprintf(stderr, "terminal_sim: journal %s: %s\n", opt.journal.c_str(), error.c_str());
    return false;
  }
  server.SetFaults(std::move(faults));
  const long long behind = static_cast<long long>(std::time(nullptr)) - server.TimeCurrent();
  if (behind > 0) server.Advance(static_cast<int>(std::min(behind, 86400LL) * 1000));
  return true;
}

}  // namespace

int RunCopyExpert(const SlaveExports& s, const CopyOptions& opt, int chart) {
  AccountSetup setup;
  setup.login = std::to_string(5000 + opt.instance);
  setup.first_ticket = 5001;
  setup.start_time = static_cast<int>(std::time(nullptr));
  TradeServer server(setup);
  if (!OpenAccount(server, opt)) return 2;
  CopyExpert expert(s, opt, chart, server);
  if (!expert.Init()) return 2;
  const DWORD start = GetTickCount();
  DWORD clock_at = start;
  while (!g_stop) {
    const DWORD now = GetTickCount();
    server.Advance(static_cast<int>(now - clock_at));  // the server's clock goes with the wall's
    clock_at = now;
    expert.OnTimer();
    if (opt.duration_ms > 0 && GetTickCount() - start >= static_cast<DWORD>(opt.duration_ms)) break;
    Sleep(1);
  }
  expert.Deinit();
  std::printf("detached\n");
  std::fflush(stdout);
  return 0;
}
