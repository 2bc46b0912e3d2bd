#include "hub_subscription_win.h"

#include <utility>

#include "link_protocol.h"
#include "published_event.h"
#include "window_value_win.h"

namespace {

const DWORD kSearchMs = 250;         // how often the hub is looked for, or checked
const DWORD kMarkerMs = 5000;        // well inside the hub's expiry
const DWORD kSignalledWaitMs = 25;   // a signal missed between a read and the wait costs this
const DWORD kPollMs = 5;             // a hub without its signal is read this often

}  // namespace

HubSubscription::HubSubscription(std::string channel_id, SetHandler on_set)
    : channel_id_(std::move(channel_id)),
      on_set_(std::move(on_set)),
      // Any value but 0 serves; the process id tells this relay's runs apart.
      instance_(static_cast<int32_t>(GetCurrentProcessId() | 1)),
      thread_(*this) {}

void HubSubscription::Begin(HWND window) {
  window_value_ = WindowValue(window);
  marker_msg_ = RegisterWindowMessageA(link::kSlaveMarker);
  detach_msg_ = RegisterWindowMessageA(link::kSlaveDetach);
  request_msg_ = RegisterWindowMessageA(link::kSlaveGetImage);
  last_check_ = GetTickCount() - kSearchMs;  // the first turn looks for the hub
}

DWORD HubSubscription::Turn(HANDLE& signal) {
  // Looking for the hub, or asking whether it still runs, costs a round trip: a hub that
  // restarted is found within kSearchMs, not at the next marker.
  const DWORD now = GetTickCount();
  if (now - last_check_ >= kSearchMs) {
    last_check_ = now;
    if (endpoint_ && !hub_.Alive()) Lose();
    if (!endpoint_) Attach();
  }
  if (!endpoint_) return kSearchMs;
  if (GetTickCount() - last_marker_ >= kMarkerMs) {
    if (hub_.Send(marker_msg_, window_value_, instance_) < 0) {
      Lose();
      return kSearchMs;
    }
    last_marker_ = GetTickCount();
  }
  // A hub that ended reads 0 here, and the fetch then finds it gone.
  const uint32_t published = hub_.PublishedChecksum();
  if (!held_ || *held_ != published) {
    // Holding what was read before the fetch, not the checksum of the set received: a terminal
    // that joined since the publication makes them differ, and would make every turn fetch.
    held_ = published;
    if (!Fetch()) {
      Lose();
      return kSearchMs;
    }
  }
  signal = published_;
  return published_ ? kSignalledWaitMs : kPollMs;
}

void HubSubscription::End() {
  if (endpoint_) hub_.Send(detach_msg_, window_value_, instance_);
  Lose();
}

LRESULT HubSubscription::CopyData(WPARAM sender, const COPYDATASTRUCT& frame) {
  // Only the reply to our own request: what another process sends here would be published to
  // the broker as this hub's set.
  if (!fetching_ || frame.dwData != link::kCopyDataTag) return 0;
  if (WindowFromValue(static_cast<int32_t>(sender)) != endpoint_) return 0;
  if (!frame.lpData && frame.cbData) return 0;
  set_.assign(static_cast<const char*>(frame.lpData), frame.cbData);
  received_ = true;
  return 1;
}

// Registers with the hub of the channel when one runs; the next turn fetches its set.
void HubSubscription::Attach() {
  endpoint_ = hub_.FindHub(channel_id_.c_str());
  if (!endpoint_) return;
  if (hub_.Send(marker_msg_, window_value_, instance_) < 0) {
    Lose();
    return;
  }
  last_marker_ = GetTickCount();
  published_ = OpenEventA(SYNCHRONIZE, FALSE, link::PublishedEventName(channel_id_).c_str());
  held_.reset();
}

void HubSubscription::Lose() {
  if (published_) CloseHandle(published_);
  published_ = NULL;
  endpoint_ = NULL;
  hub_ = LinkEndpoint();
  held_.reset();
}

bool HubSubscription::Fetch() {
  received_ = false;
  fetching_ = true;
  hub_.SendAssumingAlive(request_msg_, window_value_, 0);
  fetching_ = false;
  // A set that arrived proves the hub alive; without one, a hub that ended is told apart from
  // one that sent nothing.
  if (!received_) return hub_.Alive();
  try {
    on_set_(set_);
  } catch (...) {
    held_.reset();  // offered again on the next turn
  }
  return true;
}
