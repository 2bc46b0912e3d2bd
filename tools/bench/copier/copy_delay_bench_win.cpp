// The copy delay under Wine: from a change of the master's account (an order opened or closed)
// until the copy's trade is in every copying slave's account journal, for 1, 10 and 50 copying
// slaves (terminal_sim slave --copy, the slave expert itself), and for 1 copying slave on an MT5
// hedging account (--mt5, e-qelv-slave.mq5), beside 10 slaves that fetch every 500 ms. The master expert, e-qelv-master.mq4 itself, runs in this process on a chart of a
// simulated terminal: on its 10 ms timer it builds the image of its account and sends it when
// its checksum changed.
//
//   copy_delay_bench [changes] [--trace]     (run from bin/, where Varnick.exe, terminal_sim.exe
//                                            and the libraries are; 500 changes by default)
//
// --trace: the copying slaves time the steps of their passes (terminal_sim slave --trace) and
// a table per run shows where the delay went (delay_breakdown.h).
//
// The hub runs from a temporary folder with its own qelv.xml.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../bench_support_win.h"
#include "delay_breakdown.h"
#include "account_options.h"
#include "expert_runner.h"
#include "master_library_win.h"
#include "shipped_experts.h"
#include "sim_terminal.h"
#include "trade_server.h"

using bench::BinFolder;
using bench::Now;
using bench::PrepareHubFolder;

namespace {

const int kMasterWindow = 9101, kMasterInstance = 1;
const DWORD kChangeLimitMs = 30000;
const DWORD kTimerMs = 10;  // the master expert's timer

struct Child {
  PROCESS_INFORMATION process{};
  // The child's output goes to the file `output`, if one is named: a console without a window
  // takes tens of milliseconds for each line printed, which the copies would wait for.
  bool Start(const std::string& command_line, const char* folder, const std::string& output = "") {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    HANDLE log = INVALID_HANDLE_VALUE;
    if (!output.empty()) {
      SECURITY_ATTRIBUTES inherited{sizeof inherited, NULL, TRUE};
      log = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
      if (log == INVALID_HANDLE_VALUE) return false;
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdInput = NULL;
      startup.hStdOutput = startup.hStdError = log;
    }
    std::string command = command_line;
    const bool started = CreateProcessA(NULL, &command[0], NULL, NULL, log != INVALID_HANDLE_VALUE,
                                        CREATE_NO_WINDOW, NULL, folder, &startup, &process);
    if (log != INVALID_HANDLE_VALUE) CloseHandle(log);
    return started;
  }
  ~Child() {
    if (!process.hProcess) return;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
};

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A copying slave's journal, read as it grows: opening and reading it whole on every look
// would cost more than the copies being timed. An MT5 account's state is rewritten instead of
// growing: its deals are counted, one for every trade of a copy.
class JournalWatch {
 public:
  JournalWatch(std::string path, bool mt5_state) : path_(std::move(path)), mt5_state_(mt5_state) {}
  JournalWatch(const JournalWatch&) = delete;
  JournalWatch& operator=(const JournalWatch&) = delete;
  ~JournalWatch() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }

  // The lines the journal holds so far (its slave keeps it open for writing).
  size_t Lines() {
    if (mt5_state_) return Deals();
    if (file_ == INVALID_HANDLE_VALUE)
      file_ = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file_ == INVALID_HANDLE_VALUE) return 0;  // not made yet
    char bytes[4096];
    DWORD read = 0;
    while (ReadFile(file_, bytes, sizeof bytes, &read, NULL) && read > 0)
      lines_ += static_cast<size_t>(std::count(bytes, bytes + read, '\n'));
    return lines_;
  }

  const std::string& path() const { return path_; }

 private:
  size_t Deals() const {
    const std::string state = ReadText(path_);
    size_t deals = state.rfind("deal ", 0) == 0 ? 1 : 0;
    for (size_t at = state.find("\ndeal "); at != std::string::npos; at = state.find("\ndeal ", at + 1)) deals++;
    return deals;
  }

  std::string path_;
  bool mt5_state_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  size_t lines_ = 0;
};

// The master: e-qelv-master.mq4 itself, on a chart of a simulated terminal in this process,
// over an account whose orders the benchmark changes. Change `i` opens an order when i is
// even and closes it when odd; the expert's sends are timed by its library calls.
class MasterExpert : public CallWatcher {
 public:
  explicit MasterExpert(const std::string& channel, HMODULE library)
      : server_(Account()),
        terminal_(server_,
                  [library](const std::string&, const std::string& name, std::string& error) -> void* {
                    void* function = reinterpret_cast<void*>(GetProcAddress(library, name.c_str()));
                    if (!function) error = "no " + name;
                    return function;
                  },
                  ""),
        expert_(NewMasterExpert(), terminal_, Chart(),
                {{"ChannelId", channel}, {"Instance", std::to_string(kMasterInstance)}}) {
    std::vector<OfferedSymbol> offer;
    std::string error;
    ParseSymbolOffer("", offer, error);
    OfferSymbols(server_, offer);
    terminal_.SetWatcher(this);
  }

  bool Start() {
    expert_.Start();
    return true;
  }
  void Stop() { expert_.Stop(mql::builtin::REASON_REMOVE); }

  // The account changes to change `i`; answers when.
  double Change(int i) {
    change_ = i;  // before the trade: a send after it is this change's
    const double at = Now();
    // The server's clock goes with the wall's: the master publishes the closes of the last hour,
    // the newest 200, which a clock standing still would not tell apart.
    const DWORD now = GetTickCount();
    server_.Advance(static_cast<int>(now - clock_at_));
    clock_at_ = now;
    for (int k = server_.OrdersTotal() - 1; k >= 0; k--) {
      SimOrder o;
      if (server_.OrderSelectByPos(k, kModeTrades, o))
        server_.OrderClose(o.ticket, o.lots, server_.MarketInfo(o.symbol, kModeBid), 0);
    }
    if (i % 2 == 0) server_.OrderSend("EURUSD", 0, 0.1, server_.MarketInfo("EURUSD", kModeAsk), 0, 0, 0, "bench", 0, 0);
    return at;
  }

  // When the expert's send of change `i` began and returned; false until it was sent.
  bool SendOf(int i, double& began, double& sent) {
    std::lock_guard<std::mutex> lock(sends_lock_);
    if (i < 0 || static_cast<size_t>(i) >= sends_.size() || sends_[i].second == 0) return false;
    began = sends_[i].first;
    sent = sends_[i].second;
    return true;
  }

  void Calling(const mql::Program&, const char* name) override {
    if (std::strcmp(name, "_image_send") == 0) send_began_ = Now();
  }
  void Returned(const mql::Program&, const char* name, double) override {
    if (std::strcmp(name, "_image_send") != 0) return;
    const int i = change_;
    if (i < 0) return;
    std::lock_guard<std::mutex> lock(sends_lock_);
    if (sends_.size() <= static_cast<size_t>(i)) sends_.resize(i + 1);
    if (sends_[i].second == 0) sends_[i] = {send_began_, Now()};
  }

 private:
  static AccountSetup Account() {
    AccountSetup setup;
    setup.login = "4711";
    setup.start_time = static_cast<int>(std::time(nullptr));
    return setup;
  }
  static mql::ChartInfo Chart() {
    mql::ChartInfo chart;
    chart.window = kMasterWindow;
    return chart;
  }

  TradeServer server_;
  SimTerminal terminal_;
  ExpertRunner expert_;
  std::atomic<int> change_{-1};
  DWORD clock_at_ = GetTickCount();
  double send_began_ = 0;
  std::mutex sends_lock_;
  std::vector<std::pair<double, double>> sends_;
};

void PrintFigures(int copiers, bool mt5, const char* from, const std::vector<double>& ms) {
  std::printf("%3d %-3s  %-7s %7zu  %8.1f  %8.1f  %8.1f  %8.1f\n", copiers, mt5 ? "MT5" : "", from, ms.size(),
              Percentile(ms, 0.5),
              Percentile(ms, 0.95), Percentile(ms, 0.99), Percentile(ms, 1.0));
  std::fflush(stdout);
}

void PrintBreakdown(int copiers, const std::vector<ChangeTimes>& changes,
                    const std::vector<std::unique_ptr<JournalWatch>>& journals) {
  std::vector<std::vector<CopyPassTrace>> passes(journals.size());
  for (size_t k = 0; k < journals.size(); k++)
    if (!ParsePassTraces(ReadText(journals[k]->path() + ".trace"), passes[k]))
      std::fprintf(stderr, "copy_delay_bench: the trace of copier %zu does not read\n", k);
  int unmatched = 0;
  const std::vector<CopyStages> copies = SplitDelays(changes, passes, unmatched);
  std::printf("\n%d copier(s): where the delay went (%zu copies traced, %d without a pass)\n%s\n", copiers,
              copies.size(), unmatched, BreakdownTable(copies).c_str());
  std::fflush(stdout);
}

// One run: `copiers` copying slaves (on MT5 hedging accounts when `mt5`) beside 10 fetching
// ones, `changes` changes; false when a copy did not come within the limit.
bool Run(MasterExpert& master, const std::string& bin, const std::string& folder, const std::string& channel,
         int copiers, bool mt5, int first_change, int changes, bool trace) {
  // The account is at the first change before any copier looks: a copier that saw the last
  // run's order would trade it too, and its journal would run ahead of the changes.
  master.Change(first_change);
  double began = 0, sent = 0;
  for (DWORD since = GetTickCount(); !master.SendOf(first_change, began, sent);) {
    if (GetTickCount() - since >= kChangeLimitMs) return false;
    Sleep(1);
  }
  std::vector<std::unique_ptr<Child>> slaves;
  std::vector<std::unique_ptr<JournalWatch>> journals;
  const std::string sim = "\"" + bin + "terminal_sim.exe\" slave --channel " + channel;
  for (int k = 0; k < copiers; k++) {
    const std::string journal =
        folder + (mt5 ? "mt5copier" : "copier") + std::to_string(copiers) + "_" + std::to_string(k) + ".journal";
    // Wine gives process ids out again, and with them this folder: an account left by an earlier
    // run would be taken up again, its orders and lines with it.
    for (const char* suffix : {"", ".globals", ".trace"}) DeleteFileA((journal + suffix).c_str());
    journals.push_back(std::make_unique<JournalWatch>(journal, mt5));
    slaves.push_back(std::make_unique<Child>());
    slaves.back()->Start(sim + " --copy --instance " + std::to_string(k + 1) + " --inputs \"CopyOldOrders=true\" --journal \"" +
                             journal + "\"" + (trace ? " --trace \"" + journal + ".trace\"" : "") +
                             (mt5 ? " --mt5 hedging" : ""),
                         NULL, journal + ".out");
  }
  for (int k = 0; k < 10; k++) {
    slaves.push_back(std::make_unique<Child>());
    slaves.back()->Start(sim + " --poll 500 --instance " + std::to_string(100 + k), NULL,
                         folder + "poller" + std::to_string(copiers) + "_" + std::to_string(k) + ".out");
  }
  // Every copier holds the copy of the first change before the clock runs.
  std::vector<size_t> lines(copiers, 0);
  const DWORD started = GetTickCount();
  for (int k = 0; k < copiers; k++)
    while ((lines[k] = journals[k]->Lines()) < 1 && GetTickCount() - started < 60000) Sleep(20);
  std::vector<ChangeTimes> times;
  std::vector<double> from_change, from_send;
  for (int i = first_change + 1; i <= first_change + changes; i++) {
    Sleep(static_cast<DWORD>(i * 7 % kTimerMs));  // changes at every phase of the master's timer
    ChangeTimes t;
    t.changed = master.Change(i);
    t.detected.assign(copiers, 0.0);
    int waiting = copiers;
    const DWORD since = GetTickCount();
    while (waiting > 0 && GetTickCount() - since < kChangeLimitMs) {
      for (int k = 0; k < copiers; k++)
        if (t.detected[k] == 0 && journals[k]->Lines() > lines[k]) {
          t.detected[k] = Now();
          waiting--;
          lines[k]++;
        }
      if (waiting > 0) Sleep(1);
    }
    // The copies may be seen before the expert's thread wrote down when its send returned.
    while (waiting == 0 && !master.SendOf(i, t.send_began, t.sent) && GetTickCount() - since < kChangeLimitMs)
      Sleep(1);
    if (waiting > 0 || t.sent == 0) {
      std::fprintf(stderr, "copy_delay_bench: change %d did not reach %d copier(s)\n", i, waiting);
      return false;
    }
    for (double seen : t.detected) {
      from_change.push_back(seen - t.changed);
      from_send.push_back(seen - t.send_began);
    }
    times.push_back(std::move(t));
  }
  PrintFigures(copiers, mt5, "change", from_change);
  PrintFigures(copiers, mt5, "send", from_send);
  if (trace) PrintBreakdown(copiers, times, journals);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int changes = 500;
  bool trace = false;
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--trace") == 0) trace = true;
    else changes = std::max(2, std::atoi(argv[i]));
  }
  const std::string bin = BinFolder();
  const std::string channel = "qelv_copy_bench_" + std::to_string(GetCurrentProcessId());
  const std::string folder = PrepareHubFolder(bin, channel);
  if (folder.empty()) {
    std::fprintf(stderr, "copy_delay_bench: cannot prepare the hub's folder for %s\n", channel.c_str());
    return 1;
  }
  const std::string hub_exe = folder + "Varnick.exe";
  HMODULE dll = LoadLibraryA((bin + "qelv_d30or.dll").c_str());
  MasterExports m{};
  if (!dll || FindExports(dll, m)) {
    std::fprintf(stderr, "copy_delay_bench: cannot load qelv_d30or.dll\n");
    return 1;
  }
  int status = 0;
  {
    Child hub;
    if (!hub.Start("\"" + hub_exe + "\"", folder.c_str())) return 1;
    for (int tries = 0; tries < 200 && !m.find_window(channel.c_str()); tries++) Sleep(50);
    MasterExpert master(channel, dll);
    if (!master.Start()) return 1;
    std::printf("copy delay under Wine, %d changes (open or close of one order), the master's expert on a\n"
                "10 ms timer, beside 10 slaves fetching every 500 ms: from the change in the master's\n"
                "account (or from the expert's send) until the copy's trade is journaled\n\n",
                changes);
    std::printf("copiers  from     copies    p50 ms    p95 ms    p99 ms    max ms\n");
    int first_change = 0;
    for (auto [copiers, mt5] : {std::pair{1, false}, {10, false}, {50, false}, {1, true}}) {
      if (!Run(master, bin, folder, channel, copiers, mt5, first_change, changes, trace)) status = 1;
      first_change = (first_change + changes + 2) / 2 * 2;  // even: the next run begins with an order opened
    }
    master.Stop();
  }
  FreeLibrary(dll);
  return status;
}
