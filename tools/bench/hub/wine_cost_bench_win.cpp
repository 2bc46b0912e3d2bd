// What the window system's calls on the road cost under Wine, each on its own: a cross-process
// WM_COPYDATA with either send call, the round trips that read or write a window's words, and
// a repaint of the hub's panel region (the paint machinery alone, with the erase, and with the
// value rows drawn). Medians of many calls, in milliseconds.
//
//   wine_cost_bench [rounds]        (under Wine: xvfb-run -a ../wine-run ./wine_cost_bench.exe)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../bench_support_win.h"
#include "panel_paint_win.h"

using bench::Now;

namespace {

const char kEchoClass[] = "QelvCostEcho";

LRESULT CALLBACK EchoProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COPYDATA) return 1;
  if (msg == WM_CLOSE) PostQuitMessage(0);
  return DefWindowProcA(w, msg, wp, lp);
}

int RunEcho() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = EchoProc;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.lpszClassName = kEchoClass;
  RegisterClassA(&wc);
  if (!CreateWindowExA(0, kEchoClass, "", 0, 0, 0, 0, 0, NULL, NULL, wc.hInstance, NULL)) return 1;
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

// How the panel window paints: 0 the paint machinery only, 1 with the erase, 2 also the values.
int g_paint = 0;
HubSettings g_settings;
const std::string g_stamp = "2009.09.15  08:05:03";

LRESULT CALLBACK PanelProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND && g_paint == 0) return 1;
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    if (g_paint == 2) PaintContent(dc, {g_settings, {1, 1}, 1234567890u, g_stamp});
    EndPaint(w, &ps);
    return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

struct Row {
  const char* name;
  std::vector<double> ms;
};

template <typename F>
void Time(Row& row, F call) {
  const double start = Now();
  call();
  row.ms.push_back(Now() - start);
}

double Median(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

int RunBench(int rounds) {
  char command[MAX_PATH + 16];
  GetModuleFileNameA(NULL, command, MAX_PATH);
  std::string line = "\"" + std::string(command) + "\" echo";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION echo{};
  if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &echo)) return 1;
  HWND other = NULL;
  for (int i = 0; i < 600 && !other; i++, Sleep(50)) other = FindWindowA(kEchoClass, NULL);

  g_settings = ReadHubSettings("<root><window><channel_id>costs</channel_id></window></root>");
  WNDCLASSA wc{};
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "QelvCostPanel";
  RegisterClassA(&wc);
  HWND panel = CreateWindowExA(0, "QelvCostPanel", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 920,
                               300, NULL, NULL, wc.hInstance, NULL);
  if (!other || !panel) {
    std::fprintf(stderr, "wine_cost_bench: no echo window or no panel window\n");
    return 1;
  }
  UpdateWindow(panel);

  const std::string image(8192, 'x');
  COPYDATASTRUCT frame{111, static_cast<DWORD>(image.size()), const_cast<char*>(image.data())};
  Row rows[] = {{"SendMessageA, WM_COPYDATA of 8 kB to another process", {}},
                {"SendMessageTimeoutA, the same, as the hub replies", {}},
                {"IsWindow of another process's window", {}},
                {"GetWindowLongPtrA(GWLP_USERDATA) of another process's window", {}},
                {"SetWindowLongPtrA(GWLP_USERDATA) of an own window", {}},
                {"InvalidateRect of the panel region", {}},
                {"repaint of the panel region: BeginPaint and EndPaint only", {}},
                {"repaint of the panel region: with the erase", {}},
                {"repaint of the panel region: with the erase and the values", {}}};
  for (int r = 0; r < rounds; r++) {
    DWORD_PTR answer = 0;
    Time(rows[0], [&] { SendMessageA(other, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&frame)); });
    Time(rows[1], [&] {
      SendMessageTimeoutA(other, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&frame),
                          SMTO_NORMAL | SMTO_ABORTIFHUNG, 5000, &answer);
    });
    Time(rows[2], [&] { IsWindow(other); });
    Time(rows[3], [&] { GetWindowLongPtrA(other, GWLP_USERDATA); });
    Time(rows[4], [&] { SetWindowLongPtrA(panel, GWLP_USERDATA, r); });
    Time(rows[5], [&] { InvalidateRect(panel, &kPanelRegion, TRUE); });
    ValidateRect(panel, NULL);
    for (int paint = 0; paint < 3; paint++) {
      g_paint = paint;
      InvalidateRect(panel, &kPanelRegion, paint > 0);
      Time(rows[6 + paint], [&] { UpdateWindow(panel); });
    }
  }
  std::printf("window system costs, median ms of %d calls each\n\n", rounds);
  for (const Row& row : rows) std::printf("%8.4f  %s\n", Median(row.ms), row.name);

  DestroyWindow(panel);
  PostMessageA(other, WM_CLOSE, 0, 0);
  WaitForSingleObject(echo.hProcess, 10000);
  CloseHandle(echo.hThread);
  CloseHandle(echo.hProcess);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "echo") return RunEcho();
  return RunBench(argc >= 2 ? std::max(1, std::atoi(argv[1])) : 1000);
}
