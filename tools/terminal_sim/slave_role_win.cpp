// terminal_sim slave: plays a slave terminal and its expert around qelv_r30uv.dll.
//
//   terminal_sim slave --channel ID [--dll path] [--instance N] [--duration ms] [--poll ms]
//                      [--hang-ui ms] [--utf8]
//
// As in the terminal, a user-interface thread owns the chart window and pumps its messages,
// and the expert's calls come from a thread of their own. The library is loaded by name (by
// default from this program's folder) and its exports are called through their stdcall
// prototypes. The expert attaches with _init, then every --poll ms (500, at least 10) looks the
// hub up, sends its marker and compares the hub's published checksum with that of the set it
// holds; when they differ it fetches and splits the set and walks it with string elements
// filled to the terminal's sizes. With --utf8 it is an expert of a terminal from build 600 on,
// which cannot pass string arrays: it passes the channel id and reads the texts as UTF-8 byte
// arrays of the same sizes (_image_get_info_a, _order_get_a). Either way, each time the set it
// holds changes it prints what it read:
//
//   set 2: 463 bytes, crc 1234567890, split 1, masters 1, slaves 2, images 1
//   image 0: channel_id "room" login "4711" market 1 history 0
//     market 0: num1 1001 num2 1252972800 type 0 lots 0.1 symbol "EURUSD" price6 1.08345
//       price7 0 price8 0 close_time 0 close_price 0 num11 0 num12 0 comment "hi"
//   end of set 2
//
// (each order on one line). It ends after --duration ms, on Ctrl+C, or when its chart window
// gets WM_CLOSE (the chart is closed: how a test ends many slaves at once), detaches with
// _deinit and prints one last line for the tests:
//
//   summary: fetches 12, failed 0, crc 1234567890
//
// fetches counts the _qelv_images_get calls, failed those that answered -1 or whose set did
// not split, crc is the checksum of the set held at the end. The exit code is 0, or 4 when a
// fetch failed. --hang-ui makes the user-interface thread stop pumping for that long once,
// right after the first set was read: a hung terminal.
//
//   terminal_sim slave --channel ID --copy [--inputs "Name=value;..."] [--journal file]
//                      [--faults plan] [--symbols rules] [--trace file] [--dll path]
//                      [--instance N] [--duration ms] [--mt5 hedging|netting]
//
// With --copy the expert is e-qelv-slave.mq4 itself (copy_expert_win.h), with these inputs
// (ChannelId the channel's), trading on a simulated account of its own, login 5000 + N
// (symbols and faults as in account_options.h); what it prints is printed, and it ends as
// above with "detached". The exit code is 2 when the expert did not start (an input that does
// not read, settings the planner refused). --trace appends a line per pass that ran actions,
// with the times of its steps (copy_pass_trace.h), for the copy-delay benchmark. With --mt5 the
// expert is e-qelv-slave.mq5 on a simulated MT5 account of that margin mode, which starts empty
// (it lives in the process only) and keeps its state in the journal's file (mt5_account_state.h);
// it takes no faults.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "copy_expert_win.h"
#include "expert_texts_win.h"
#include "roles.h"
#include "sim_process.h"
#include "window_value_win.h"

namespace {

struct Options {
  std::string channel, dll;
  int instance = 1;
  int duration_ms = 0;  // 0: until Ctrl+C
  int poll_ms = 500;
  int hang_ui_ms = 0;
  TextPassing passing = TextPassing::kStringElements;
  bool copy = false;
  CopyOptions copier;
};

const UINT kHangMessage = WM_APP + 1;  // to the chart: stop pumping for wParam ms
const char kChartClass[] = "QelvSimChart";

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; i++) {
    const std::string name = argv[i];
    if (name == "--utf8") {
      o.passing = TextPassing::kUtf8Bytes;
      continue;
    }
    if (name == "--copy") {
      o.copy = true;
      continue;
    }
    if (i + 1 >= argc) return false;  // an option without its value
    const char* value = argv[++i];
    if (name == "--channel") o.channel = value;
    else if (name == "--dll") o.dll = value;
    else if (name == "--instance") o.instance = static_cast<int>(std::strtoll(value, nullptr, 0));
    else if (name == "--duration") o.duration_ms = std::atoi(value);
    else if (name == "--poll") o.poll_ms = std::atoi(value);
    else if (name == "--hang-ui") o.hang_ui_ms = std::atoi(value);
    else if (name == "--inputs") o.copier.inputs = value;
    else if (name == "--journal") o.copier.journal = value;
    else if (name == "--faults") o.copier.faults = value;
    else if (name == "--symbols") o.copier.symbols = value;
    else if (name == "--trace") o.copier.trace = value;
    else if (name == "--mt5") o.copier.mt5 = value;
    else return false;
  }
  if (o.poll_ms < 10) o.poll_ms = 10;
  if (o.poll_ms > 10000) o.poll_ms = 10000;  // markers stay well inside the hub's 30 s
  if (o.dll.empty()) o.dll = LibraryBesideProgram("qelv_r30uv.dll");
  o.copier.channel = o.channel;
  o.copier.dll = o.dll;
  o.copier.instance = o.instance;
  o.copier.duration_ms = o.duration_ms;
  const bool copier_options = !o.copier.inputs.empty() || !o.copier.journal.empty() ||
                              !o.copier.faults.empty() || !o.copier.symbols.empty() ||
                              !o.copier.trace.empty() || !o.copier.mt5.empty();
  if (o.copy) return !o.channel.empty() && o.hang_ui_ms == 0;
  return !o.channel.empty() && !copier_options;
}

// The terminal's user-interface thread: owns the chart window and pumps its messages.
struct UiThread {
  HANDLE thread = NULL;
  HANDLE ready = NULL;
  DWORD id = 0;
  HWND chart = NULL;
};

LRESULT CALLBACK ChartProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {
    g_stop = true;  // the expert detaches; the window goes when the thread ends
    return 0;
  }
  if (msg == kHangMessage) {
    std::printf("ui hangs for %u ms\n", static_cast<unsigned>(wp));
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(wp));
    std::printf("ui pumps again\n");
    std::fflush(stdout);
    return 0;
  }
  return DefWindowProcA(window, msg, wp, lp);
}

DWORD WINAPI RunUi(void* param) {
  auto* ui = static_cast<UiThread*>(param);
  WNDCLASSA wc{};
  wc.lpfnWndProc = ChartProc;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.lpszClassName = kChartClass;
  RegisterClassA(&wc);
  ui->chart = CreateWindowExA(0, kChartClass, "terminal_sim slave chart", WS_OVERLAPPEDWINDOW, 0,
                              0, 320, 200, NULL, NULL, wc.hInstance, NULL);
  SetEvent(ui->ready);
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (ui->chart) DestroyWindow(ui->chart);
  return 0;
}

bool StartUi(UiThread& ui) {
  ui.ready = CreateEventA(NULL, TRUE, FALSE, NULL);
  ui.thread = CreateThread(NULL, 0, RunUi, &ui, 0, &ui.id);
  if (!ui.thread) return false;
  WaitForSingleObject(ui.ready, INFINITE);
  return ui.chart != NULL;
}

void StopUi(UiThread& ui) {
  if (ui.thread) {
    PostThreadMessageA(ui.id, WM_QUIT, 0, 0);
    WaitForSingleObject(ui.thread, INFINITE);
    CloseHandle(ui.thread);
  }
  if (ui.ready) CloseHandle(ui.ready);
}

void PrintOrders(const SlaveExports& s, TextPassing passing, int pool) {
  const char* pool_name = pool == 0 ? "market" : "history";
  const int total = s.orders_total(pool);
  for (int i = 0; i < total; i++) {
    OrderRead o;
    if (!s.order_select(i, pool) || !ReadOrder(s, passing, o)) {
      std::printf("  %s %d: unreadable\n", pool_name, i);
      continue;
    }
    std::printf("  %s %d: num1 %d num2 %d type %d lots %.10g symbol \"%s\" price6 %.10g price7 %.10g "
                "price8 %.10g close_time %d close_price %.10g num11 %d num12 %d comment \"%s\"\n",
                pool_name, i, o.num1, o.num2, o.type, o.lots, o.symbol.c_str(), o.price6, o.price7,
                o.price8, o.close_time, o.close_price, o.num11, o.num12, o.comment.c_str());
  }
}

void PrintSet(const SlaveExports& s, TextPassing passing, int number, int bytes, int split) {
  int masters = 0, slaves = 0;
  s.images_get_info(&masters, &slaves);
  const int images = s.images_total();
  std::printf("set %d: %d bytes, crc %u, split %d, masters %d, slaves %d, images %d\n", number,
              bytes, static_cast<unsigned>(s.images_calc_crc()), split, masters, slaves, images);
  for (int i = 0; i < images; i++) {
    std::string channel_id, login;
    if (!s.image_select(i) || !ReadImageInfo(s, passing, channel_id, login)) {
      std::printf("image %d: unreadable\n", i);
      continue;
    }
    std::printf("image %d: channel_id \"%s\" login \"%s\" market %d history %d\n", i,
                channel_id.c_str(), login.c_str(), s.orders_total(0), s.orders_total(1));
    PrintOrders(s, passing, 0);
    PrintOrders(s, passing, 1);
  }
  std::printf("end of set %d\n", number);
  std::fflush(stdout);
}

// The expert's cycle, on its own thread as in the terminal; false when a fetch failed.
bool RunExpert(const SlaveExports& s, const Options& opt, const UiThread& ui) {
  const int chart = WindowValue(ui.chart);
  s.init(chart, 0);
  const DWORD start = GetTickCount();
  int sets = 0, hub = 0, fetches = 0, failed = 0;
  bool refused = false, hung = false;
  unsigned shown = 0;  // checksum of the set printed last
  while (!g_stop) {
    const int found = FindHub(s, opt.passing, opt.channel);  // a restarted hub is found again
    if (found != hub) {
      std::printf(found ? "hub found\n" : "no hub\n");
      std::fflush(stdout);
      hub = found;
    }
    if (found && s.qelv_marker_send(chart, opt.instance) == 1 && !refused) {
      std::fprintf(stderr, "terminal_sim: the hub refused the marker: the chart is taken\n");
      refused = true;
    }
    if (found && s.qelv_get_crc() != s.images_calc_crc()) {
      const int bytes = s.qelv_images_get(chart);
      const int split = s.images_split();
      fetches++;
      if (bytes < 0 || split != 1) failed++;
      const unsigned held = static_cast<unsigned>(s.images_calc_crc());
      if (sets == 0 || held != shown) {
        PrintSet(s, opt.passing, ++sets, bytes, split);
        shown = held;
      }
      if (opt.hang_ui_ms > 0 && !hung) {
        PostMessageA(ui.chart, kHangMessage, static_cast<WPARAM>(opt.hang_ui_ms), 0);
        hung = true;
      }
    }
    if (opt.duration_ms > 0 && GetTickCount() - start >= static_cast<DWORD>(opt.duration_ms)) break;
    Sleep(opt.poll_ms);
  }
  const unsigned held = static_cast<unsigned>(s.images_calc_crc());
  s.deinit(chart, opt.instance);
  std::printf("detached\nsummary: fetches %d, failed %d, crc %u\n", fetches, failed, held);
  std::fflush(stdout);
  return failed == 0;
}

struct ExpertArgs {
  const SlaveExports* library;
  const Options* options;
  const UiThread* ui;
  bool fetched_all = false;
  int copy_code = 0;
};

DWORD WINAPI ExpertThread(void* param) {
  auto* a = static_cast<ExpertArgs*>(param);
  if (a->options->copy)
    a->copy_code = RunCopyExpert(a->options->copier, WindowValue(a->ui->chart));
  else
    a->fetched_all = RunExpert(*a->library, *a->options, *a->ui);
  return 0;
}

}  // namespace

int RunSlave(int argc, char** argv) {
  Options opt;
  if (!ParseOptions(argc, argv, opt)) {
    std::fprintf(stderr,
                 "usage: terminal_sim slave --channel ID [--dll path] [--instance N]\n"
                 "       [--duration ms] [--poll ms] [--hang-ui ms] [--utf8]\n"
                 "   or: terminal_sim slave --channel ID --copy [--inputs \"Name=value;...\"]\n"
                 "       [--journal file] [--faults plan] [--symbols rules] [--trace file] [--dll path]\n"
                 "       [--instance N] [--duration ms] [--mt5 hedging|netting]\n");
    return 2;
  }
  HMODULE dll = LoadLibraryA(opt.dll.c_str());
  if (!dll) {
    std::fprintf(stderr, "terminal_sim: cannot load %s (error %lu)\n", opt.dll.c_str(), GetLastError());
    return 1;
  }
  SlaveExports s{};
  if (const char* missing = FindExports(dll, s)) {
    std::fprintf(stderr, "terminal_sim: qelv_r30uv has no export %s\n", missing);
    return 1;
  }
  UiThread ui;
  if (!StartUi(ui)) {
    std::fprintf(stderr, "terminal_sim: cannot create the chart window (error %lu)\n", GetLastError());
    StopUi(ui);
    return 1;
  }
  StopOnConsoleControl();

  ExpertArgs args{&s, &opt, &ui, false};
  HANDLE expert = CreateThread(NULL, 0, ExpertThread, &args, 0, NULL);
  if (expert) {
    WaitForSingleObject(expert, INFINITE);
    CloseHandle(expert);
  }
  FreeLibrary(dll);
  StopUi(ui);
  if (!expert) return 1;
  if (opt.copy) return args.copy_code;
  return args.fetched_all ? 0 : 4;
}
