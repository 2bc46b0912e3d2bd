#include "link_thread_win.h"

namespace {

const char kWindowClass[] = "QelvRelayLinkWindow";
const UINT kRunMessage = WM_APP + 1;

bool RegisterWindowClass() {
  WNDCLASSA existing;
  HINSTANCE module = GetModuleHandleA(NULL);
  if (GetClassInfoA(module, kWindowClass, &existing)) return true;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = module;
  wc.lpszClassName = kWindowClass;
  // Another thread may have registered it meanwhile.
  return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

LinkThread::LinkThread(Loop& loop)
    : loop_(loop), stop_(CreateEventA(NULL, TRUE, FALSE, NULL)),
      ready_(CreateEventA(NULL, TRUE, FALSE, NULL)) {
  if (!stop_ || !ready_) return;
  thread_ = CreateThread(NULL, 0, Main, this, 0, NULL);
  if (thread_) WaitForSingleObject(ready_, INFINITE);
}

LinkThread::~LinkThread() {
  if (thread_) {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  if (stop_) CloseHandle(stop_);
  if (ready_) CloseHandle(ready_);
}

HWND LinkThread::NewWindow() {
  if (!RegisterWindowClass()) return NULL;
  // Message-only: unique handles that no broadcast reaches.
  return CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                         GetModuleHandleA(NULL), NULL);
}

bool LinkThread::Run(const std::function<void()>& call) {
  HWND window = window_.load();
  if (!window) return false;
  bool ran = false;
  const std::function<void()> marked = [&] {
    call();
    ran = true;
  };
  std::lock_guard<std::recursive_mutex> lock(run_lock_);
  const std::function<void()>* outer = pending_.exchange(&marked);
  SendMessageA(window, kRunMessage, 0, reinterpret_cast<LPARAM>(&marked));
  pending_ = outer;
  return ran;
}

LRESULT CALLBACK LinkThread::WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<LinkThread*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, msg, wp, lp);
  try {
    if (msg == kRunMessage) {
      const auto* call = reinterpret_cast<const std::function<void()>*>(lp);
      if (call && call == self->pending_.load()) (*call)();
      return 0;
    }
    if (msg == WM_COPYDATA && lp)
      return self->loop_.CopyData(wp, *reinterpret_cast<const COPYDATASTRUCT*>(lp));
  } catch (...) {
    return 0;
  }
  return DefWindowProcA(window, msg, wp, lp);
}

void LinkThread::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// A turn that fails (no memory) is tried again later rather than ending the link.
void LinkThread::RunLoop(LinkThread& self, HWND window) {
  const DWORD kRetryMs = 1000;
  try {
    self.loop_.Begin(window);
  } catch (...) {
  }
  for (;;) {
    HANDLE handles[2] = {self.stop_, NULL};
    DWORD wait_ms = kRetryMs;
    try {
      wait_ms = self.loop_.Turn(handles[1]);
    } catch (...) {
      handles[1] = NULL;
    }
    const DWORD count = handles[1] ? 2 : 1;
    if (MsgWaitForMultipleObjects(count, handles, FALSE, wait_ms, QS_ALLINPUT) == WAIT_OBJECT_0)
      break;
    self.Pump();
  }
  try {
    self.loop_.End();
  } catch (...) {
  }
}

DWORD WINAPI LinkThread::Main(void* param) {
  auto* self = static_cast<LinkThread*>(param);
  HWND window = NewWindow();
  if (window) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
  }
  self->window_ = window;
  SetEvent(self->ready_);
  if (!window) return 0;
  RunLoop(*self, window);
  self->window_ = NULL;
  DestroyWindow(window);
  return 0;
}
