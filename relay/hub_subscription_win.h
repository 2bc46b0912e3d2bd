// The relay as a slave of its local hub: it stays registered, notices each new publication
// within milliseconds and hands over the image set that the hub then delivers.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "link_endpoint_win.h"
#include "link_thread_win.h"

class HubSubscription : private LinkThread::Loop {
 public:
  using SetHandler = std::function<void(const std::string& image_set)>;

  // Starts a thread of its own that looks for the hub of `channel_id` until one runs, and finds
  // it again after it restarts. `on_set` is called on that thread with each set fetched: once
  // for every hub found, then after each publication.
  HubSubscription(std::string channel_id, SetHandler on_set);
  // Detaches from the hub and ends the thread.
  ~HubSubscription() = default;

  bool Running() const { return thread_.Running(); }

 private:
  void Begin(HWND window) override;
  DWORD Turn(HANDLE& signal) override;
  void End() override;
  LRESULT CopyData(WPARAM sender, const COPYDATASTRUCT& frame) override;

  void Attach();
  void Lose();
  bool Fetch();

  const std::string channel_id_;
  const SetHandler on_set_;
  const int32_t instance_;
  int32_t window_value_ = 0;
  UINT marker_msg_ = 0;
  UINT detach_msg_ = 0;
  UINT request_msg_ = 0;
  LinkEndpoint hub_;
  HWND endpoint_ = NULL;
  HANDLE published_ = NULL;  // the hub's signal, NULL for a hub without one
  DWORD last_check_ = 0;
  DWORD last_marker_ = 0;
  // The published checksum read before the last fetch; none until the first one.
  std::optional<uint32_t> held_;
  bool fetching_ = false;
  bool received_ = false;
  std::string set_;
  LinkThread thread_;  // last: it ends before the state it uses goes
};
