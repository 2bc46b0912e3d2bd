#include "copy_expert_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include "account_options.h"
#include "bench_support_win.h"
#include "copy_pass_trace.h"
#include "expert_runner.h"
#include "library_loader_win.h"
#include "shipped_experts.h"
#include "sim_process.h"
#include "mt5_account_file_win.h"
#include "mt5_sim_terminal.h"
#include "mt5_trade_server.h"
#include "sim_terminal.h"
#include "trade_server.h"

namespace {

// Times each pass of the expert by its library calls, for the copy-delay benchmark: the wait
// for a new set, its fetch and split, the planner's call, and the actions reported done.
class PassTracer : public CallWatcher {
 public:
  explicit PassTracer(std::FILE* file) : file_(file) {}
  ~PassTracer() override { Write(); }

  void Calling(const mql::Program&, const char* name) override {
    if (std::strcmp(name, "_qelv_wait_crc") == 0) {
      Write();
      pass_ = CopyPassTrace{};
      pass_.wait_began = bench::Now();
    } else if (std::strcmp(name, "_copier_plan") == 0) {
      pass_.gathered = bench::Now();
    }
  }

  void Returned(const mql::Program&, const char* name, double) override {
    const double now = bench::Now();
    if (std::strcmp(name, "_qelv_wait_crc") == 0) pass_.woke = pass_.fetched = pass_.split = now;
    else if (std::strcmp(name, "_qelv_images_get") == 0) pass_.fetched = pass_.split = now;
    else if (std::strcmp(name, "_images_split") == 0) pass_.split = now;
    else if (std::strcmp(name, "_copier_plan") == 0) pass_.planned = now;
    else if (std::strcmp(name, "_copier_action_done") == 0) pass_.done = now, pass_.actions++;
  }

 private:
  void Write() {
    if (pass_.actions == 0) return;
    std::fprintf(file_, "%s\n", FormatPassTrace(pass_).c_str());
    std::fflush(file_);
    pass_.actions = 0;
  }

  std::FILE* file_;
  CopyPassTrace pass_;
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

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

// Runs the expert until g_stop, its end or the duration, the server's clock going with the
// wall's; `moved` after each step of the clock. Answers the process's exit code.
template <typename Server>
int RunOnAccount(ExpertRunner& expert, Server& server, const CopyOptions& opt, const std::function<void()>& moved) {
  expert.Start();
  const DWORD start = GetTickCount();
  DWORD clock_at = start;
  while (!g_stop && expert.state() != ExpertRunner::State::kEnded) {
    const DWORD now = GetTickCount();
    server.Advance(static_cast<int>(now - clock_at));
    clock_at = now;
    moved();
    if (opt.duration_ms > 0 && now - start >= static_cast<DWORD>(opt.duration_ms)) break;
    Sleep(1);
  }
  const int code = expert.InitResult() == mql::builtin::INIT_SUCCEEDED ? 0 : 2;
  expert.Stop(mql::builtin::REASON_REMOVE);
  return code;
}

// The trace file, when one is asked for.
using TraceFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
TraceFile OpenTrace(const CopyOptions& opt) {
  TraceFile file(opt.trace.empty() ? nullptr : std::fopen(opt.trace.c_str(), "ab"),
                 [](std::FILE* f) { return f ? std::fclose(f) : 0; });
  if (!opt.trace.empty() && !file) std::fprintf(stderr, "terminal_sim: cannot open the trace %s\n", opt.trace.c_str());
  return file;
}

mql::ChartInfo Chart(const CopyOptions& opt, int chart) {
  mql::ChartInfo info;
  info.id = 130000000000000000LL + opt.instance;  // the same chart of the same terminal after a restart
  info.window = chart;
  return info;
}

int RunMt4(const CopyOptions& opt, int chart, const ExpertRunner::Inputs& inputs) {
  AccountSetup setup;
  setup.login = std::to_string(5000 + opt.instance);
  setup.first_ticket = 5001;
  setup.start_time = static_cast<int>(std::time(nullptr));
  TradeServer server(setup);
  if (!OpenAccount(server, opt)) return 2;
  TraceFile trace = OpenTrace(opt);
  PassTracer tracer(trace.get());
  SimTerminal terminal(server, LibraryLoaderFor({{FileName(opt.dll), opt.dll}}),
                       opt.journal.empty() ? "" : opt.journal + ".globals");
  if (trace) terminal.SetWatcher(&tracer);
  ExpertRunner expert(NewSlaveExpert(), terminal, Chart(opt, chart), inputs);
  return RunOnAccount(expert, server, opt, [] {});
}

// The MT5 account starts empty with every start: it lives in this process only.
int RunMt5(const CopyOptions& opt, int chart, const ExpertRunner::Inputs& inputs) {
  Mt5AccountSetup setup;
  setup.login = 5000 + opt.instance;
  setup.first_ticket = 5001;
  setup.start_time = static_cast<int64_t>(std::time(nullptr));
  std::string error;
  std::unique_ptr<Mt5TradeServer> account;
  if (!opt.faults.empty()) error = "the simulated MT5 account injects no faults";
  else account = OpenMt5Account(setup, opt.mt5, opt.symbols, error);
  if (!account) {
    std::fprintf(stderr, "terminal_sim: %s\n", error.c_str());
    return 2;
  }
  Mt5TradeServer& server = *account;
  TraceFile trace = OpenTrace(opt);
  PassTracer tracer(trace.get());
  Mt5SimTerminal terminal(server, LibraryLoaderFor({{FileName(opt.dll), opt.dll}}),
                          opt.journal.empty() ? "" : opt.journal + ".globals");
  if (trace) terminal.SetWatcher(&tracer);
  Mt5AccountFile state(opt.journal);
  ExpertRunner expert(NewMt5SlaveExpert(), terminal, Chart(opt, chart), inputs);
  return RunOnAccount(expert, server, opt, [&] { state.Update(server); });
}

}  // namespace

int RunCopyExpert(const CopyOptions& opt, int chart) {
  ExpertRunner::Inputs inputs{{"ChannelId", opt.channel}};
  if (!ParseInputs(opt.inputs, inputs)) {
    std::fprintf(stderr, "terminal_sim: inputs are Name=value items separated by ';': %s\n", opt.inputs.c_str());
    return 2;
  }
  const int code = opt.mt5.empty() ? RunMt4(opt, chart, inputs) : RunMt5(opt, chart, inputs);
  std::printf("detached\n");
  std::fflush(stdout);
  return code;
}
