#include "slave_link_win.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <mutex>

#include "library_lock.h"
#include "link_endpoint_win.h"
#include "link_protocol.h"
#include "published_event.h"
#include "window_value_win.h"

namespace slave_link {
namespace {

struct LinkState {
  LinkEndpoint hub;
  UINT marker_msg = 0;
  UINT detach_msg = 0;
  UINT request_msg = 0;
  volatile LONG attach_count = 0;
  // Read by the window procedure on the chart's thread while the expert's thread may change
  // them. The saved procedure is kept after a restore for a message still on its way through.
  std::atomic<HWND> chart{nullptr};
  std::atomic<WNDPROC> saved{nullptr};
  std::string received;
  std::atomic<unsigned> frames{0};  // tagged frames stored so far
  // The name of the hub's signal, set by one expert's search while another's waits.
  std::mutex event_name_lock;
  std::string event_name;
};
LinkState g;

LRESULT StoreFrame(const COPYDATASTRUCT& frame) {
  if (!frame.lpData && frame.cbData) return 0;  // a length without data: nothing to keep
  try {
    std::lock_guard<std::mutex> lock(LibraryLock());
    if (frame.cbData)
      g.received.assign(static_cast<const char*>(frame.lpData), frame.cbData);
    else
      g.received.clear();
  } catch (...) {
    return 0;  // no memory for it: the text held before stays whole
  }
  g.frames++;
  return 1;
}

LRESULT CALLBACK ChartProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COPYDATA) {
    const auto* frame = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    if (frame && frame->dwData == link::kCopyDataTag) return StoreFrame(*frame);
  }
  WNDPROC own = g.saved.load();
  return own ? CallWindowProcA(own, window, msg, wp, lp) : DefWindowProcA(window, msg, wp, lp);
}

void Subclass(HWND chart) {
  // The window's own procedure is saved before ours goes in, as a message may reach ours at once.
  LONG_PTR own = GetWindowLongPtrA(chart, GWLP_WNDPROC);
  if (!own) return;  // no such window
  // Two first attaches at once must not chain our procedure to itself.
  if (own == reinterpret_cast<LONG_PTR>(ChartProc)) return;
  g.saved = reinterpret_cast<WNDPROC>(own);
  LONG_PTR previous = SetWindowLongPtrA(chart, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChartProc));
  if (!previous) return;  // not ours to subclass
  g.saved = reinterpret_cast<WNDPROC>(previous);
  g.chart = chart;
}

void Restore() {
  HWND chart = g.chart.exchange(nullptr);
  WNDPROC own = g.saved.load();
  if (chart && own) SetWindowLongPtrA(chart, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
}

// Counts one attach off unless there is none left; true when this took the last one.
bool CountDownLast() {
  LONG count = g.attach_count;
  while (count > 0) {
    LONG seen = InterlockedCompareExchange(&g.attach_count, count - 1, count);
    if (seen == count) return count == 1;
    count = seen;
  }
  return false;
}

// Without memory for the name, waits poll.
void KeepEventName(const char* channel_id) {
  std::lock_guard<std::mutex> lock(g.event_name_lock);
  try {
    g.event_name = channel_id ? link::PublishedEventName(channel_id) : std::string();
  } catch (...) {
    g.event_name.clear();
  }
}

// The hub's signal, opened afresh for each wait: another expert's search may name another hub
// meanwhile. 0 for a hub without one.
HANDLE OpenPublishedEvent() {
  std::lock_guard<std::mutex> lock(g.event_name_lock);
  return g.event_name.empty() ? NULL : OpenEventA(SYNCHRONIZE, FALSE, g.event_name.c_str());
}

}  // namespace

void Attach(HWND chart) {
  g.marker_msg = RegisterWindowMessageA(link::kSlaveMarker);
  g.detach_msg = RegisterWindowMessageA(link::kSlaveDetach);
  g.request_msg = RegisterWindowMessageA(link::kSlaveGetImage);
  if (g.attach_count == 0) Subclass(chart);
  InterlockedIncrement(&g.attach_count);
}

int Detach(HWND chart, int instance) {
  // The subclassed window is restored, whatever window this call names: another window's
  // procedure would be wrong for it.
  if (CountDownLast()) Restore();
  return g.hub.Send(g.detach_msg, WindowValue(chart), instance);
}

HWND FindHub(const char* channel_id) {
  KeepEventName(channel_id);
  return g.hub.FindHub(channel_id);
}

int SendMarker(HWND chart, int instance) {
  return g.hub.Send(g.marker_msg, WindowValue(chart), instance);
}

// Read on every poll, so not Alive(): a hub that has ended reads 0 all the same.
int PublishedChecksum() { return static_cast<int>(g.hub.PublishedChecksum()); }

int RequestImageSet(HWND chart) {
  if (!g.hub.Found()) return -1;
  const unsigned before = g.frames;
  g.hub.SendAssumingAlive(g.request_msg, WindowValue(chart), 0);
  // A set that arrived proves the hub alive; only without one is it asked whether it has ended
  // (a send to a window that is gone does nothing), which spares the usual fetch a round trip.
  if (g.frames == before && !g.hub.Alive()) return -1;
  std::lock_guard<std::mutex> lock(LibraryLock());
  return static_cast<int>(std::min<size_t>(g.received.size(), INT_MAX));
}

int WaitForPublished(int held, int timeout_ms) {
  const DWORD kSliceMs = 5;  // the most a signal missed between a read and the wait costs
  if (!g.hub.Alive()) return -1;
  const DWORD limit = static_cast<DWORD>(std::clamp(timeout_ms, 0, 1000));
  int published = PublishedChecksum();
  if (published != held || limit == 0) return published;
  HANDLE signal = OpenPublishedEvent();
  const DWORD start = GetTickCount();
  for (DWORD waited = 0; published == held && waited < limit; waited = GetTickCount() - start) {
    if (signal)
      WaitForSingleObject(signal, std::min(kSliceMs, limit - waited));
    else
      Sleep(1);
    published = PublishedChecksum();
  }
  if (signal) CloseHandle(signal);
  return published;
}

const std::string& ReceivedText() { return g.received; }

void ReleaseOnUnload() {
  HWND chart = g.chart.load();
  if (chart && GetWindowLongPtrA(chart, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ChartProc))
    Restore();
}

}  // namespace slave_link
