// A hub endpoint as the libraries find it: a hidden window whose class name is the channel id,
// owned by the endpoint window that the messages go to.
#pragma once
#include <windows.h>

class ChannelWindows {
 public:
  // Registers `endpoint_class` with `endpoint_proc`; without `with_owner` the hidden window
  // has no owner, as after a hub that went wrong.
  ChannelWindows(const char* channel, const char* endpoint_class, WNDPROC endpoint_proc,
                 bool with_owner = true);
  ~ChannelWindows();
  ChannelWindows(const ChannelWindows&) = delete;
  ChannelWindows& operator=(const ChannelWindows&) = delete;

  HWND Endpoint() const { return endpoint_; }

 private:
  HWND endpoint_ = NULL;
  HWND hidden_ = NULL;
};
