#include "link_endpoint_win.h"

#include "link_protocol.h"

namespace {

HWND OwnerOfChannelWindow(const char* channel_id) {
  if (!channel_id) return 0;
  HWND hidden = FindWindowA(channel_id, NULL);
  if (!hidden) return 0;
  return GetWindow(hidden, GW_OWNER);
}

}  // namespace

HWND LinkEndpoint::FindHub(const char* channel_id) {
  window_ = 0;
  window_ = OwnerOfChannelWindow(channel_id);
  return window_;
}

int LinkEndpoint::Send(UINT msg, int32_t window, int32_t instance) const {
  if (!Alive()) return -1;
  return SendAssumingAlive(msg, window, instance);
}

int LinkEndpoint::SendAssumingAlive(UINT msg, int32_t window, int32_t instance) const {
  return static_cast<int>(
      SendMessageA(window_, msg, static_cast<WPARAM>(window), static_cast<LPARAM>(instance)));
}

LRESULT LinkEndpoint::SendCopyData(int32_t from, const void* data, size_t size,
                                   std::optional<UINT> limit_ms) const {
  COPYDATASTRUCT frame;
  frame.dwData = link::kCopyDataTag;
  frame.cbData = static_cast<DWORD>(size);
  frame.lpData = const_cast<void*>(data);
  const WPARAM wp = static_cast<WPARAM>(from);
  const LPARAM lp = reinterpret_cast<LPARAM>(&frame);
  if (!limit_ms) return SendMessageA(window_, WM_COPYDATA, wp, lp);
  // SMTO_NORMAL keeps handling the messages sent to this thread while it waits, as a plain
  // send would.
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window_, WM_COPYDATA, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                           *limit_ms, &answer))
    return 0;
  return static_cast<LRESULT>(answer);
}

uint32_t LinkEndpoint::PublishedChecksum() const {
  if (!window_) return 0;
  // A 32-bit checksum: on 64-bit Windows the upper half of the word carries nothing. A hub
  // that has ended has no user data: the word reads 0, as without a hub.
  return static_cast<uint32_t>(GetWindowLongPtrA(window_, GWLP_USERDATA));
}
