#include "hub_link_win.h"

#include "link_protocol.h"

HWND FindHubEndpoint(const char* channel_id) {
  if (!channel_id) return 0;
  HWND hidden = FindWindowA(channel_id, NULL);
  if (!hidden) return 0;
  return GetWindow(hidden, GW_OWNER);
}

LRESULT SendCopyData(HWND to, WPARAM from, const void* data, size_t size) {
  COPYDATASTRUCT frame;
  frame.dwData = link::kCopyDataTag;
  frame.cbData = static_cast<DWORD>(size);
  frame.lpData = const_cast<void*>(data);
  return SendMessageA(to, WM_COPYDATA, from, reinterpret_cast<LPARAM>(&frame));
}
