// The masters of other hubs, as the relay brings them, registered with the local hub as masters
// of its own: each one is a terminal of the hub with its own window value, kept registered by
// markers while the broker is away, and given back its image after the hub restarts.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "link_endpoint_win.h"
#include "link_thread_win.h"

class RemoteMasters : private LinkThread::Loop {
 public:
  // Starts a thread of its own that keeps the remote masters registered with the hub of
  // `channel_id`, whenever one runs.
  explicit RemoteMasters(std::string channel_id);
  // Detaches every remote master and ends the thread.
  ~RemoteMasters() = default;

  bool Running() const { return thread_.Running(); }
  // Makes `login` a master of the hub when it is new and sends `image` as its image. False, and
  // nothing changes, when `image` is not one whole image; false also when no hub took it, but
  // it is kept and sent as soon as a hub runs.
  bool Apply(const std::string& login, const std::string& image);
  // Detaches the master of `login` and forgets it.
  void Remove(const std::string& login);
  // True for every login applied since the start, removed ones included: a set fetched from the
  // hub before the removal still holds its image, and must not be sent back.
  bool Injected(const std::string& login) const;

 private:
  struct Remote {
    HWND window;  // gives a value that no other terminal of the hub has
    std::string image;
  };

  void Begin(HWND window) override;
  DWORD Turn(HANDLE& signal) override;
  void End() override;

  bool Reconnect();
  bool Register(const Remote& remote);
  bool SendImage(const Remote& remote);
  void Detach(const Remote& remote);
  bool ApplyHere(const std::string& login, const std::string& image);

  const std::string channel_id_;
  const int32_t instance_;
  UINT marker_msg_ = 0;
  UINT detach_msg_ = 0;
  LinkEndpoint hub_;
  DWORD last_marker_ = 0;
  std::map<std::string, Remote> remotes_;  // only on the thread
  mutable std::mutex injected_lock_;
  std::set<std::string> injected_;
  LinkThread thread_;  // last: it ends before the state it uses goes
};
