#include "remote_masters_win.h"

#include <utility>

#include "link_protocol.h"
#include "one_image.h"
#include "window_value_win.h"

namespace {

const DWORD kCheckMs = 250;      // how soon a hub that restarted gets its remote masters back
const DWORD kMarkerMs = 5000;    // well inside the hub's expiry
const UINT kImageLimitMs = 5000;  // a hung hub is given up rather than holding the relay

}  // namespace

RemoteMasters::RemoteMasters(std::string channel_id)
    : channel_id_(std::move(channel_id)),
      // Any value but 0 makes the hub take the images; the process id tells runs apart.
      instance_(static_cast<int32_t>(GetCurrentProcessId() | 1)),
      thread_(*this) {}

bool RemoteMasters::Apply(const std::string& login, const std::string& image) {
  if (!IsOneImage(image)) return false;
  {
    std::lock_guard<std::mutex> lock(injected_lock_);
    injected_.insert(login);
  }
  bool taken = false;
  thread_.Run([&] { taken = ApplyHere(login, image); });
  return taken;
}

void RemoteMasters::Remove(const std::string& login) {
  thread_.Run([&] {
    auto found = remotes_.find(login);
    if (found == remotes_.end()) return;
    Detach(found->second);
    remotes_.erase(found);
  });
}

bool RemoteMasters::Injected(const std::string& login) const {
  std::lock_guard<std::mutex> lock(injected_lock_);
  return injected_.count(login) != 0;
}

void RemoteMasters::Begin(HWND) {
  marker_msg_ = RegisterWindowMessageA(link::kMasterMarker);
  detach_msg_ = RegisterWindowMessageA(link::kMasterDetach);
}

DWORD RemoteMasters::Turn(HANDLE&) {
  if (!Reconnect()) return kCheckMs;
  const DWORD since_marker = GetTickCount() - last_marker_;
  if (since_marker >= kMarkerMs) {
    // After a gap as long as the expiry (the machine slept, the thread was held), the hub may
    // have dropped them: a marker then registers a master without its image.
    const bool may_have_expired = since_marker >= link::kExpiryMs;
    for (const auto& entry : remotes_)
      if (Register(entry.second) && may_have_expired) SendImage(entry.second);
    last_marker_ = GetTickCount();
  }
  return kCheckMs;
}

void RemoteMasters::End() {
  for (const auto& entry : remotes_) Detach(entry.second);
  remotes_.clear();
}

// True with a hub that has every remote master registered: a hub found anew (the first, or one
// that restarted) is given them all, with their images.
bool RemoteMasters::Reconnect() {
  if (hub_.Alive()) return true;
  if (!hub_.FindHub(channel_id_.c_str())) return false;
  for (const auto& entry : remotes_)
    if (Register(entry.second)) SendImage(entry.second);
  last_marker_ = GetTickCount();
  return true;
}

bool RemoteMasters::Register(const Remote& remote) {
  return hub_.Send(marker_msg_, WindowValue(remote.window), instance_) == link::kMarkerAccepted;
}

bool RemoteMasters::SendImage(const Remote& remote) {
  return hub_.SendCopyData(WindowValue(remote.window), remote.image.data(), remote.image.size(),
                           kImageLimitMs) == 1;
}

void RemoteMasters::Detach(const Remote& remote) {
  hub_.Send(detach_msg_, WindowValue(remote.window), instance_);
  DestroyWindow(remote.window);
}

bool RemoteMasters::ApplyHere(const std::string& login, const std::string& image) {
  auto found = remotes_.find(login);
  const bool is_new = found == remotes_.end();
  if (is_new) {
    HWND window = LinkThread::NewWindow();
    if (!window) return false;
    try {
      found = remotes_.emplace(login, Remote{window, image}).first;
    } catch (...) {
      DestroyWindow(window);
      throw;
    }
  } else {
    found->second.image = image;
  }
  // A hub found only now registers every remote master, this one included, and sends its image.
  const bool was_connected = hub_.Alive();
  if (!Reconnect()) return false;
  if (!was_connected) return true;
  if (is_new && !Register(found->second)) return false;
  return SendImage(found->second);
}
