#include "channel_windows.h"

ChannelWindows::ChannelWindows(const char* channel, const char* endpoint_class,
                               WNDPROC endpoint_proc, bool with_owner) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = endpoint_proc;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.lpszClassName = endpoint_class;
  RegisterClassA(&wc);  // fails harmlessly the second time
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = channel;
  RegisterClassA(&wc);
  if (with_owner) endpoint_ = CreateWindowExA(0, endpoint_class, "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
  hidden_ = CreateWindowExA(0, channel, "", 0, 0, 0, 0, 0, endpoint_, 0, 0, 0);
}

ChannelWindows::~ChannelWindows() {
  DestroyWindow(hidden_);
  if (endpoint_) DestroyWindow(endpoint_);
}
