// terminal_sim master: plays a master terminal and its expert around qelv_d30or.dll.
//
//   terminal_sim master --channel ID [--dll path] [--window N] [--instance N]
//                       [--orders N | --scenario file] [--interval ms] [--duration ms] [--crash]
//   terminal_sim master --channel ID --trade --scenario file [--journal file] [--symbols rules]
//                       [--inputs "Name=value;..."] [--dll path] [--window N] [--instance N]
//                       [--duration ms] [--mt5 hedging|netting]
//
// With --trade the scenario trades on a simulated trade server (symbols as in
// account_options.h, tickets from the scenario's first open, the clock the wall's) and
// e-qelv-master.mq4 itself runs on the terminal's chart (master_trading_win.h), its inputs
// ChannelId and Instance from --channel and --instance; it prints "image N: crc C" for every
// image it sends. A journal keeps the account through a kill: started again on it, the
// scenario goes on from the orders as they were. A step that fails is printed ("scenario
// failed: ...") and the exit code is 5. With --mt5 the account is a simulated MT5 account of
// that margin mode, logged in as the scenario's first login says, and e-qelv-master.mq5 runs on
// the chart; the account lives in the process only and the journal's file keeps its state for
// others to read (mt5_account_state.h). The rest of this comment is about the account without
// a server.
//
// The library is loaded by name (by default from this program's folder) and its exports are
// found by their exact names and called through their stdcall prototypes, as the terminal
// does. Every --interval (1000 ms, at most 10000) the expert looks up the hub, sends its marker
// and rebuilds its image; it sends the image when its checksum changed or the hub is new, and
// prints one line per image sent:
//
//   image 3: 2 market, 1 history, crc 1234567890
//
// It ends after --duration ms, or, without one, when the scenario is done (never with --orders:
// Ctrl+C ends it). At the end it detaches with _deinit, unless --crash: then the process ends
// at once, as a terminal that crashed, and the hub has to let the master expire.
//
// Scenario file: one step per line, blank lines and text after '#' ignored.
//
//   login 4711                               the login written into the image (default 0)
//   open 1001 buy 0.10 EURUSD 1.08345        a market order: ticket, type (buy, sell, buylimit,
//   open 1002 sell 1 GBPUSD 1.5 1.6 1.4 hi   selllimit, buystop, sellstop or 0-5), lots,
//                                            symbol, price, optional stop loss, take profit
//                                            and comment (the rest of the line)
//   modify 1001 1.07 1.10                    new stop loss and take profit of an open order
//   close 1001 1.08500                       the order moves to the history at that price
//   wait 2000                                the expert keeps its marker going meanwhile
//
// Steps up to the next wait are applied together and published as one image.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "master_library_win.h"
#include "master_scenario.h"
#include "master_trading_win.h"
#include "roles.h"
#include "sim_process.h"

namespace {

struct Options {
  std::string channel, dll, scenario, journal, symbols, inputs;
  int window = static_cast<int>(GetCurrentProcessId());
  int instance = 1;
  int orders = -1;
  int interval_ms = 1000;
  int duration_ms = 0;  // 0: until the scenario is done
  bool crash = false;
  bool trade = false;
  std::string mt5;  // --trade on an MT5 account of this margin mode
};

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; i++) {
    const std::string name = argv[i];
    if (name == "--crash") {
      o.crash = true;
      continue;
    }
    if (name == "--trade") {
      o.trade = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (name == "--channel") o.channel = value;
    else if (name == "--dll") o.dll = value;
    else if (name == "--scenario") o.scenario = value;
    else if (name == "--journal") o.journal = value;
    else if (name == "--symbols") o.symbols = value;
    else if (name == "--inputs") o.inputs = value;
    else if (name == "--window") o.window = static_cast<int>(std::strtoll(value, nullptr, 0));
    else if (name == "--instance") o.instance = static_cast<int>(std::strtoll(value, nullptr, 0));
    else if (name == "--orders") o.orders = std::atoi(value);
    else if (name == "--interval") o.interval_ms = std::atoi(value);
    else if (name == "--duration") o.duration_ms = std::atoi(value);
    else if (name == "--mt5") o.mt5 = value;
    else return false;
  }
  if (o.interval_ms < 10) o.interval_ms = 10;
  if (o.interval_ms > 10000) o.interval_ms = 10000;  // markers stay well inside the 30 s
  if (o.dll.empty()) o.dll = LibraryBesideProgram("qelv_d30or.dll");
  if (o.trade) return !o.channel.empty() && !o.scenario.empty() && o.orders < 0 && !o.crash;
  if (!o.journal.empty() || !o.symbols.empty() || !o.inputs.empty() || !o.mt5.empty()) return false;  // only an account with a server has them
  return !o.channel.empty() && (o.orders < 0 || o.scenario.empty());
}

void Append(const MasterExports& m, int pool, const SimOrder& o) {
  m.image_append(pool, 5, 2, o.ticket, o.open_time, o.type, o.lots, o.symbol.c_str(),
                 o.open_price, o.stop_loss, o.take_profit, o.close_time, o.close_price, 0, 0,
                 o.comment.c_str());
}

// The expert's image of the account, built through the library; answers its checksum.
int BuildImage(const MasterExports& m, const Options& opt, const SimAccount& account) {
  m.image_clear();
  m.image_set(opt.channel.c_str(), account.login.c_str());
  for (const SimOrder& o : account.market) Append(m, 0, o);
  for (const SimOrder& o : account.history) Append(m, 1, o);
  return m.get_crc();
}

bool ReadScenario(const std::string& path, std::vector<ScenarioStep>& steps) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "terminal_sim: cannot open %s\n", path.c_str());
    return false;
  }
  std::stringstream text;
  text << file.rdbuf();
  std::string error;
  if (ParseScenario(text.str(), steps, error)) return true;
  std::fprintf(stderr, "terminal_sim: %s: %s\n", path.c_str(), error.c_str());
  return false;
}

int Simulate(const MasterExports& m, const Options& opt, const std::vector<ScenarioStep>& steps,
             SimAccount& account) {
  const DWORD start = GetTickCount();
  DWORD resume_at = start;  // the end of the current wait step
  size_t next = 0;
  int hub = 0, last_crc = 0, published = 0;
  bool refused = false;
  while (!g_stop) {
    const DWORD now = GetTickCount();
    while (next < steps.size() && static_cast<int>(now - resume_at) >= 0) {
      const ScenarioStep& step = steps[next++];
      if (step.kind == ScenarioStep::kWait) resume_at = now + step.wait_ms;
      else account.Apply(step);
    }

    const int found = m.find_window(opt.channel.c_str());  // a restarted hub is found again
    if (found && m.marker_send(opt.window, opt.instance) == 1 && !refused) {
      std::fprintf(stderr, "terminal_sim: the hub refused the marker: window %d is taken\n", opt.window);
      refused = true;
    }
    const int crc = BuildImage(m, opt, account);
    if (found && (crc != last_crc || found != hub || published == 0)) {
      m.image_send(opt.window);
      std::printf("image %d: %d market, %d history, crc %u\n", ++published,
                  static_cast<int>(account.market.size()), static_cast<int>(account.history.size()),
                  static_cast<unsigned>(crc));
      std::fflush(stdout);
      last_crc = crc;
    }
    hub = found;

    const DWORD elapsed = GetTickCount() - start;
    if (opt.duration_ms > 0 ? elapsed >= static_cast<DWORD>(opt.duration_ms)
                            : opt.orders < 0 && next >= steps.size() &&
                                  static_cast<int>(GetTickCount() - resume_at) >= 0)
      break;
    Sleep(opt.interval_ms);
  }
  return published;
}

}  // namespace

int RunMaster(int argc, char** argv) {
  Options opt;
  if (!ParseOptions(argc, argv, opt)) {
    std::fprintf(stderr,
                 "usage: terminal_sim master --channel ID [--dll path] [--window N] [--instance N]\n"
                 "       [--orders N | --scenario file] [--interval ms] [--duration ms] [--crash]\n"
                 "   or: terminal_sim master --channel ID --trade --scenario file [--journal file]\n"
                 "       [--symbols rules] [--inputs \"Name=value;...\"] [--dll path] [--window N]\n"
                 "       [--instance N] [--duration ms] [--mt5 hedging|netting]\n");
    return 2;
  }
  std::vector<ScenarioStep> steps;
  if (!opt.scenario.empty() && !ReadScenario(opt.scenario, steps)) return 2;
  StopOnConsoleControl();
  if (opt.trade) {
    const TradingOptions trading{opt.channel, opt.journal, opt.symbols, opt.dll, opt.inputs, opt.window,
                                 opt.instance, opt.duration_ms, opt.mt5};
    return RunTradingMaster(trading, steps);
  }
  SimAccount account;
  if (opt.orders > 0) account.OpenGenerated(opt.orders);

  HMODULE dll = LoadLibraryA(opt.dll.c_str());
  if (!dll) {
    std::fprintf(stderr, "terminal_sim: cannot load %s (error %lu)\n", opt.dll.c_str(), GetLastError());
    return 1;
  }
  MasterExports m{};
  if (const char* missing = FindExports(dll, m)) {
    std::fprintf(stderr, "terminal_sim: qelv_d30or has no export %s\n", missing);
    return 1;
  }
  m.init(opt.window, opt.instance);
  Simulate(m, opt, steps, account);
  std::fflush(stdout);
  if (opt.crash) TerminateProcess(GetCurrentProcess(), 3);  // no _deinit: the hub must expire us
  m.deinit(opt.window, opt.instance);
  FreeLibrary(dll);
  return 0;
}
