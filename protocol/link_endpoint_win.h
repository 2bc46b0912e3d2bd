// The window at the other end of the link: the hub's endpoint as a bridge library finds it, or
// the window a slave names for the hub's reply. It holds a handle it does not own.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>

class LinkEndpoint {
 public:
  LinkEndpoint() = default;
  explicit LinkEndpoint(HWND window) : window_(window) {}

  // Forgets the endpoint, then takes the owner of the top-level window of class `channel_id`
  // (the hub's hidden window). 0 when there is no such window or it has no owner.
  HWND FindHub(const char* channel_id);
  bool Found() const { return window_ != 0; }
  // A hub that has ended leaves its endpoint behind: a send to it "succeeds" with 0, which
  // reads as an accepted marker or a finished fetch. Asking costs a round trip to the window
  // server under Wine.
  bool Alive() const { return window_ && IsWindow(window_); }

  // A registered message with a terminal's window and instance: the answer, or -1 when the
  // endpoint is not alive.
  int Send(UINT msg, int32_t window, int32_t instance) const;
  // The same without asking Alive() first, for a caller that learns otherwise whether the
  // message arrived.
  int SendAssumingAlive(UINT msg, int32_t window, int32_t instance) const;
  // `size` bytes in a WM_COPYDATA frame with the link's tag and `from` in wParam: the answer.
  // With `limit_ms` the wait is bounded: a window that hangs, or does not answer in time, is
  // given up (answer 0) instead of holding the sender; messages sent to the sender are still
  // handled while it waits.
  LRESULT SendCopyData(int32_t from, const void* data, size_t size,
                       std::optional<UINT> limit_ms = std::nullopt) const;
  // The checksum the hub publishes in its endpoint's user data, read without a message; 0
  // without an endpoint.
  uint32_t PublishedChecksum() const;

 private:
  HWND window_ = 0;
};
