#include "window_thread.h"

const char* PlainChartClass() {
  static const char* const name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QelvPlainChart";
    RegisterClassA(&wc);
    return wc.lpszClassName;
  }();
  return name;
}

namespace {

const DWORD kThreadLimitMs = 60000;  // slow, busy machines: a bound, not an expectation

}  // namespace

WindowThread::WindowThread(const char* class_name, DWORD style, int size)
    : class_name_(class_name), style_(style), size_(size), ready_(CreateEventA(NULL, TRUE, FALSE, NULL)) {
  thread_ = CreateThread(NULL, 0, Run, this, 0, &thread_id_);
  if (thread_) WaitForSingleObject(ready_, kThreadLimitMs);
}

WindowThread::~WindowThread() {
  if (thread_) {
    PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, kThreadLimitMs);
    CloseHandle(thread_);
  }
  CloseHandle(ready_);
}

DWORD WINAPI WindowThread::Run(void* param) {
  auto* self = static_cast<WindowThread*>(param);
  self->window_ = CreateWindowExA(0, self->class_name_, "", self->style_, 0, 0, self->size_,
                                  self->size_, NULL, NULL, GetModuleHandleA(NULL), NULL);
  SetEvent(self->ready_);
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
  if (self->window_) DestroyWindow(self->window_);
  return 0;
}
