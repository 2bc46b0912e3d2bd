// The running relay: its link to the broker on a thread of its own, and its two ends toward the
// local hub, by role. A publisher follows the hub's set as a slave and keeps each master on the
// broker as a retained message; a subscriber registers every master the broker brings with the
// hub. Every event goes to the log; the status is kept for the window, which is told of changes.
// The sequence numbers taken, both roles' in one ReplayGuard, are kept in the sequence file.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "hub_subscription_win.h"
#include "mqtt_session.h"
#include "relay_envelope.h"
#include "relay_log.h"
#include "relay_publisher.h"
#include "relay_settings.h"
#include "relay_status.h"
#include "remote_masters_win.h"

// The relay's id toward the broker: one per computer, local channel, remote channel and role. The
// broker drops the older of two connections with one id, so only one such relay may run.
std::string BrokerClientId(const RelaySettings& settings);

class RelayEngine {
 public:
  using Changed = std::function<void()>;  // the status changed; called on any thread

  // Reads the sequence file at `sequence_path`, then starts the hub's ends and the broker's thread.
  RelayEngine(const RelaySettings& settings, RelayLog& log, std::string sequence_path,
              Changed changed);
  // Says goodbye to the broker, detaches from the hub, and ends every thread.
  ~RelayEngine();
  RelayEngine(const RelayEngine&) = delete;
  RelayEngine& operator=(const RelayEngine&) = delete;

  RelayStatus Status();

 private:
  static DWORD WINAPI BrokerThread(void* self);
  void KeepConnecting();
  // One connection, from connecting to its loss; true when it was up.
  bool RunConnection();
  // Sends what the hub's set asks for; false when the connection broke.
  bool PublishChanges(MqttSession& session);
  void OnSet(const std::string& image_set);
  void SetConnection(ByteTransport* transport);
  void OnMessage(const mqtt::Message& message);
  void Reject(const std::string& topic, const std::string& reason);
  void LoadSequences();
  // Writes the sequence file when a mark rose since it was last written.
  void SaveSequences();
  void Update(const std::function<void(RelayStatus&)>& change);

  const RelaySettings& settings_;
  RelayLog& log_;
  const Changed changed_;
  const bool publishes_;
  const bool subscribes_;
  const MacFunction mac_;

  std::mutex status_lock_;
  RelayStatus status_;

  // The hub's masters, as the subscription last handed them over; taken by the broker's thread.
  // The connection's transport, woken by a new set so that it is published at once.
  std::mutex set_lock_;
  std::optional<ImageMap> new_images_;
  ByteTransport* connection_ = nullptr;
  ImageMap images_;  // only on the broker's thread

  // Only on the broker's thread.
  const std::string sequence_path_;
  ReplayGuard guard_;
  uint64_t saved_changes_ = 0;
  bool save_failed_ = false;  // said once in the log, until a save succeeds
  Publisher publisher_;
  // Logins being published now: the broker may hand a message back before it acknowledges it.
  std::set<std::string> sending_;
  struct Applied {
    std::string payload;
    std::string image;
  };
  std::map<std::string, Applied> applied_;  // login -> what was applied last, while it is held

  HANDLE stop_;
  std::atomic<bool> stopping_{false};
  std::unique_ptr<RemoteMasters> remotes_;        // subscribers only
  std::unique_ptr<HubSubscription> subscription_;  // publishers only
  HANDLE thread_ = NULL;
};
