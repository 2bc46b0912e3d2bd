#include "copy_expert_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "account_options.h"
#include "bench_support_win.h"
#include "copy_pass_trace.h"
#include "expert_runner.h"
#include "library_loader_win.h"
#include "shipped_experts.h"
#include "sim_process.h"
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

}  // namespace

int RunCopyExpert(const CopyOptions& opt, int chart) {
  ExpertRunner::Inputs inputs{{"ChannelId", opt.channel}};
  if (!ParseInputs(opt.inputs, inputs)) {
    std::fprintf(stderr, "terminal_sim: inputs are Name=value items separated by ';': %s\n", opt.inputs.c_str());
    return 2;
  }
  AccountSetup setup;
  setup.login = std::to_string(5000 + opt.instance);
  setup.first_ticket = 5001;
  setup.start_time = static_cast<int>(std::time(nullptr));
  TradeServer server(setup);
  if (!OpenAccount(server, opt)) return 2;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> trace_file(
      opt.trace.empty() ? nullptr : std::fopen(opt.trace.c_str(), "ab"), [](std::FILE* f) { return f ? std::fclose(f) : 0; });
  std::FILE* trace = trace_file.get();
  if (!opt.trace.empty() && !trace) std::fprintf(stderr, "terminal_sim: cannot open the trace %s\n", opt.trace.c_str());
  PassTracer tracer(trace);
  SimTerminal terminal(server, LibraryLoaderFor({{FileName(opt.dll), opt.dll}}),
                       opt.journal.empty() ? "" : opt.journal + ".globals");
  if (trace) terminal.SetWatcher(&tracer);
  mql::ChartInfo info;
  info.id = 130000000000000000LL + opt.instance;  // the same chart of the same terminal after a restart
  info.window = chart;
  int code = 0;
  {
    ExpertRunner expert(NewSlaveExpert(), terminal, info, inputs);
    expert.Start();
    const DWORD start = GetTickCount();
    DWORD clock_at = start;
    while (!g_stop && expert.state() != ExpertRunner::State::kEnded) {
      const DWORD now = GetTickCount();
      server.Advance(static_cast<int>(now - clock_at));  // the server's clock goes with the wall's
      clock_at = now;
      if (opt.duration_ms > 0 && now - start >= static_cast<DWORD>(opt.duration_ms)) break;
      Sleep(1);
    }
    if (expert.InitResult() != mql::builtin::INIT_SUCCEEDED) code = 2;
    expert.Stop(mql::builtin::REASON_REMOVE);
  }
  std::printf("detached\n");
  std::fflush(stdout);
  return code;
}
