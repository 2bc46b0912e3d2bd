// The road of one change, timed under Wine: from the master's _image_send until a slave has
// split the new set and read its last order, for images of 1, 10 and 100 orders. Beside it, in
// the same run, the bare cost of the road's three cross-process sends with the same payloads
// (the image to a window of another process, the request, the set sent back to a window owned
// by this process's user-interface thread), without hub or libraries.
//
//   slave_road_bench [rounds]        (run from bin/, where Varnick.exe and the libraries are)
//
// The hub runs from a temporary folder with its own qelv.xml; the master and slave libraries
// are both loaded into this process, which plays both terminals.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../bench_support_win.h"
#include "image_text.h"
#include "master_image.h"
#include "master_library_win.h"
#include "slave_library_win.h"
#include "window_value_win.h"

using bench::Now;
using bench::BinFolder;
using bench::PrepareHubFolder;

namespace {

const char kEchoClass[] = "QelvBenchEcho";
const char kEchoRequest[] = "QELV_BENCH_REQUEST";
const int kMasterWindow = 9001, kMasterInstance = 1, kSlaveInstance = 2;

struct Figures {
  double median, mean, min;
};

Figures Summarize(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (double m : ms) sum += m;
  return {ms[ms.size() / 2], sum / static_cast<double>(ms.size()), ms.front()};
}

OrderFields Order(int i, int round) {
  OrderFields o{100000 + i, 1252972800 + 60 * i, i % 2, 0.1 * (1 + i % 5), "EURUSD",
                1.08345 + 0.0001 * i, 1.07, 1.09, 0, 0, i, round, "copied order"};
  return o;
}

// A window of the user-interface thread that keeps every copy-data frame it gets.
struct Receiver {
  HANDLE thread = NULL, ready = NULL;
  DWORD id = 0;
  HWND window = NULL;
  static std::string last;

  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA) {
      const auto* frame = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      last.assign(static_cast<const char*>(frame->lpData), frame->cbData);
      return 1;
    }
    return DefWindowProcA(w, msg, wp, lp);
  }
  static DWORD WINAPI Run(void* param) {
    auto* r = static_cast<Receiver*>(param);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QelvBenchChart";
    RegisterClassA(&wc);
    r->window = CreateWindowExA(0, "QelvBenchChart", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL,
                                NULL, wc.hInstance, NULL);
    SetEvent(r->ready);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(r->window);
    return 0;
  }
  bool Start() {
    ready = CreateEventA(NULL, TRUE, FALSE, NULL);
    thread = CreateThread(NULL, 0, Run, this, 0, &id);
    WaitForSingleObject(ready, INFINITE);
    return window != NULL;
  }
  void Stop() {
    PostThreadMessageA(id, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(ready);
  }
};
std::string Receiver::last;

// --- the bare sends: a second process that takes an image and answers a request with a set ---

std::string g_echo_image;
size_t g_echo_reply_size = 0;

LRESULT CALLBACK EchoProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  static const UINT request = RegisterWindowMessageA(kEchoRequest);
  if (msg == WM_COPYDATA) {
    const auto* frame = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    g_echo_image.assign(static_cast<const char*>(frame->lpData), frame->cbData);
    return 1;
  }
  if (msg == request) {
    // lParam names the size of the set to send back, as the hub would assemble it.
    g_echo_reply_size = static_cast<size_t>(lp);
    std::string set(g_echo_reply_size, 'x');
    COPYDATASTRUCT frame{111, static_cast<DWORD>(set.size()), set.data()};
    // The hub's own call for the reply, so that both roads send alike.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(reinterpret_cast<HWND>(wp), WM_COPYDATA, reinterpret_cast<WPARAM>(w),
                        reinterpret_cast<LPARAM>(&frame), SMTO_NORMAL | SMTO_ABORTIFHUNG, 5000,
                        &answer);
    return 0;
  }
  if (msg == WM_CLOSE) PostQuitMessage(0);
  return DefWindowProcA(w, msg, wp, lp);
}

int RunEcho() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = EchoProc;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.lpszClassName = kEchoClass;
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, kEchoClass, "", 0, 0, 0, 0, 0, NULL, NULL, wc.hInstance, NULL);
  if (!window) return 1;
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

struct Child {
  PROCESS_INFORMATION process{};
  bool Start(const std::string& command_line, const char* folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = command_line;
    return CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, folder, &startup, &process);
  }
  ~Child() {
    if (!process.hProcess) return;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
};

HWND WaitForWindow(const char* window_class, bool owner) {
  for (int i = 0; i < 1800; i++) {
    HWND found = FindWindowA(window_class, NULL);
    if (found && owner) found = GetWindow(found, GW_OWNER);
    if (found) return found;
    Sleep(50);
  }
  return NULL;
}

// The bare sends, in total and each: the image, and the request with the set sent back.
struct BareTimes {
  std::vector<double> total, image, request;
};

void TimeBareSends(HWND echo, HWND receiver, const std::string& image, size_t set_size,
                   BareTimes& times) {
  static const UINT request = RegisterWindowMessageA(kEchoRequest);
  const double start = Now();
  COPYDATASTRUCT frame{111, static_cast<DWORD>(image.size()), const_cast<char*>(image.data())};
  SendMessageA(echo, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&frame));
  const double sent = Now();
  SendMessageA(echo, request, reinterpret_cast<WPARAM>(receiver), static_cast<LPARAM>(set_size));
  const double end = Now();
  times.total.push_back(end - start);
  times.image.push_back(sent - start);
  times.request.push_back(end - sent);
}

// --- the road through the hub and the two libraries ---

// Both libraries, loaded into this process, which plays both terminals.
struct Libraries {
  HMODULE master_dll = NULL, slave_dll = NULL;
  MasterExports master{};
  SlaveExports slave{};

  bool Load(const std::string& folder) {
    master_dll = LoadLibraryA((folder + "qelv_d30or.dll").c_str());
    slave_dll = LoadLibraryA((folder + "qelv_r30uv.dll").c_str());
    return master_dll && slave_dll && !FindExports(master_dll, master) &&
           !FindExports(slave_dll, slave);
  }
};

void BuildMasterImage(const Libraries& l, const std::string& channel, int orders, int round) {
  l.master.image_clear();
  l.master.image_set(channel.c_str(), "4711");
  for (int i = 0; i < orders; i++) {
    OrderFields o = Order(i, round);
    l.master.image_append(0, 5, 2, o.num1, o.num2, o.type, o.lots, o.symbol.data(), o.price6,
                          o.price7, o.price8, o.close_time, o.close_price, o.num11, o.num12,
                          o.comment.data());
  }
}

// The road's steps, each timed on its own: the master's send, the slave's two checksums, the
// fetch (request and reply), the split, and the queries down to the last order.
enum Step { kSend, kGetCrc, kCalcCrc, kFetch, kSplit, kQueries, kSteps };
const char* const kStepNames[kSteps] = {"_image_send", "_qelv_get_crc", "_images_calc_crc",
                                        "_qelv_images_get", "_images_split", "queries"};

struct RoadTimes {
  std::vector<double> total;
  std::vector<double> step[kSteps];
};

// The slave expert's side of one change; true when it read the last order of the new image.
// `mark` is called after each step.
template <typename Mark>
bool SlaveReadsLastOrder(const Libraries& l, int chart, int orders, int round, Mark mark) {
  const int published = l.slave.qelv_get_crc();
  mark(kGetCrc);
  const int held = l.slave.images_calc_crc();
  mark(kCalcCrc);
  if (published == held) return false;
  l.slave.qelv_images_get(chart);
  mark(kFetch);
  const int split = l.slave.images_split();
  mark(kSplit);
  if (split != 1 || l.slave.images_total() < 1 || !l.slave.image_select(0)) return false;
  const int total = l.slave.orders_total(0);
  if (total != orders || !l.slave.order_select(total - 1, 0)) return false;
  std::string symbol(31, ' '), comment(127, ' ');
  TextSlot symbol_slot{31, &symbol[0]}, comment_slot{127, &comment[0]};
  int num1, num2, type, close_time, num11, num12;
  double lots, price6, price7, price8, close_price;
  const bool read = l.slave.order_get(&num1, &num2, &type, &lots, &symbol_slot, &price6, &price7,
                                      &price8, &close_time, &close_price, &num11, &num12,
                                      &comment_slot) == 1 && num12 == round;
  mark(kQueries);
  return read;
}

// One change along the road; false when the slave did not read the new last order.
bool TimeRoad(const Libraries& l, const std::string& channel, int chart, int orders, int round,
              RoadTimes& times) {
  // The expert's work before the send is not timed; the markers keep both terminals registered.
  l.master.marker_send(kMasterWindow, kMasterInstance);
  l.slave.qelv_marker_send(chart, kSlaveInstance);
  BuildMasterImage(l, channel, orders, round);
  double step_times[kSteps] = {};
  const double start = Now();
  double last = start;
  auto mark = [&](Step step) {
    const double now = Now();
    step_times[step] = now - last;
    last = now;
  };
  l.master.image_send(kMasterWindow);
  mark(kSend);
  const bool read = SlaveReadsLastOrder(l, chart, orders, round, mark);
  times.total.push_back(Now() - start);
  for (int k = 0; k < kSteps; k++) times.step[k].push_back(step_times[k]);
  return read;
}

int RunBench(int rounds) {
  const std::string bin = BinFolder();
  const std::string channel = "qelv_bench_" + std::to_string(GetCurrentProcessId());
  const std::string folder = PrepareHubFolder(bin, channel);
  if (folder.empty()) {
    std::fprintf(stderr, "slave_road_bench: cannot prepare the hub's folder for %s\n", channel.c_str());
    return 1;
  }
  const std::string hub_exe = folder + "Varnick.exe";
  int status = 1;
  {
    Child hub, echo;
    Receiver chart;
    Libraries l{};
    if (!hub.Start("\"" + hub_exe + "\"", folder.c_str()) || !WaitForWindow(channel.c_str(), true) ||
        !echo.Start("\"" + bin + "slave_road_bench.exe\" echo", NULL) ||
        !WaitForWindow(kEchoClass, false) || !chart.Start() || !l.Load(bin)) {
      std::fprintf(stderr, "slave_road_bench: cannot start the hub, the echo process or the libraries\n");
    } else {
      HWND echo_window = FindWindowA(kEchoClass, NULL);
      const int chart_id = WindowValue(chart.window);
      l.slave.init(chart_id, 0);
      l.slave.find_window(channel.c_str());
      l.slave.qelv_marker_send(chart_id, kSlaveInstance);
      l.master.init(0, 0);
      l.master.find_window(channel.c_str());
      l.master.marker_send(kMasterWindow, kMasterInstance);

      std::printf("road of one change under Wine, %d rounds each: master _image_send until the slave\n"
                  "has split the set and read its last order, next to the three bare sends\n\n",
                  rounds);
      std::printf("orders  image B  set B   road median/mean/min ms    bare sends median/mean/min ms   ratio\n");
      struct StepFigures {
        int orders;
        RoadTimes road;
        BareTimes bare;
      };
      std::vector<StepFigures> steps;
      for (int orders : {1, 10, 100}) {
        MasterImage image;
        image.Set(channel, "4711");
        for (int i = 0; i < orders; i++) image.Append(kMarketOrders, 5, 2, Order(i, rounds));
        const std::string image_text = image.Text();
        std::string set_text;
        AppendImageSetHeader(set_text, 1, 1);
        set_text += image_text;

        // Road and bare sends take turns, so that both meet the same load of the machine, and
        // each starts when the hub has finished what the last one left it (its repaint).
        RoadTimes road_times, warm_road;
        BareTimes bare_times, warm_bare;
        int failures = 0;
        for (int r = 1; r <= 5 + rounds; r++) {
          const bool warm_up = r <= 5;
          WaitForInputIdle(hub.process.hProcess, 1000);
          if (!TimeRoad(l, channel, chart_id, orders, r, warm_up ? warm_road : road_times) && !warm_up)
            failures++;
          WaitForInputIdle(hub.process.hProcess, 1000);
          TimeBareSends(echo_window, chart.window, image_text, set_text.size(),
                        warm_up ? warm_bare : bare_times);
        }
        const Figures road = Summarize(road_times.total), bare = Summarize(bare_times.total);
        std::printf("%6d  %7zu  %6zu  %7.3f %7.3f %7.3f      %7.3f %7.3f %7.3f   %5.2f%s\n", orders,
                    image_text.size(), set_text.size(), road.median, road.mean, road.min,
                    bare.median, bare.mean, bare.min, road.median / bare.median,
                    failures ? "   (some rounds did not read the new order)" : "");
        std::fflush(stdout);
        steps.push_back({orders, road_times, bare_times});
      }
      // Where the time goes: medians of each step, next to the bare send it corresponds to.
      std::printf("\nmedian ms of each step (bare: the image send; the request with the reply)\n");
      std::printf("orders");
      for (const char* name : kStepNames) std::printf("  %16s", name);
      std::printf("  %10s  %12s\n", "bare image", "bare request");
      for (const StepFigures& f : steps) {
        std::printf("%6d", f.orders);
        for (int k = 0; k < kSteps; k++) std::printf("  %16.3f", Summarize(f.road.step[k]).median);
        std::printf("  %10.3f  %12.3f\n", Summarize(f.bare.image).median,
                    Summarize(f.bare.request).median);
      }
      l.master.deinit(kMasterWindow, kMasterInstance);
      l.slave.deinit(chart_id, kSlaveInstance);
      PostMessageA(echo_window, WM_CLOSE, 0, 0);
      status = 0;
    }
    if (chart.thread) chart.Stop();
    if (l.slave_dll) FreeLibrary(l.slave_dll);
    if (l.master_dll) FreeLibrary(l.master_dll);
  }
  DeleteFileA(hub_exe.c_str());
  DeleteFileA((folder + "qelv.xml").c_str());
  RemoveDirectoryA(folder.c_str());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "echo") return RunEcho();
  const int rounds = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 200;
  return RunBench(rounds);
}
