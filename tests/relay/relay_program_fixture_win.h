// What the relay program's tests under Wine run: relays in folders of their own, a broker the
// test can end and start again, masters that keep themselves registered with a hub, and the
// broker reached from the test itself.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "child_process.h"
#include "mqtt_packet.h"
#include "temp_folder.h"

const DWORD kRelayLimitMs = 60000;  // generous: a busy machine under Wine, never a timing claim

// qelv-relay.xml with the given values; `extra` goes inside <relay> as it is.
std::string RelayXml(const std::string& url, const std::string& role, const std::string& channel_id,
                     const std::string& remote_channel, const std::string& secret,
                     const std::string& extra = "");

// qelv_relay.exe copied into a folder of its own beside `settings` (nullptr: no file).
class RunningRelay {
 public:
  explicit RunningRelay(const char* settings);
  void Start();
  // As a crash would: the broker and the hub hear nothing more.
  void Kill() { process_.reset(); }
  // Closes the status window as a user would; true once the process ended.
  bool Close();
  DWORD ExitCode() const { return process_ ? process_->ExitCode() : STILL_ACTIVE; }
  bool Running() const { return process_ && process_->Running(); }
  std::string Log() const { return ReadFileText(folder_ / "qelv-relay.log"); }
  // A file of the relay's folder: its rotated logs, its sequence file.
  std::string Path(const std::string& name) const { return folder_ / name; }
  // Polls until the log holds `text` `times` times; false after the limit.
  bool WaitForLog(const std::string& text, size_t times = 1) const;
  // The value shown beside `label` in the status window; empty when there is no such row.
  std::string StatusValue(const std::string& label) const;

 private:
  HWND StatusWindow() const;

  TempFolder folder_;
  std::unique_ptr<ChildProcess> process_;
};

// A plain TCP broker on a port of the test's own (tests/relay/own-broker.sh).
class OwnBroker {
 public:
  OwnBroker();
  ~OwnBroker() { Stop(); }
  // Each waits until the port answers, or no longer does; false after the limit.
  bool Start();
  bool Stop();
  uint16_t port() const { return port_; }
  std::string Url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }
  // Publishes `payload` on `topic` with the broker's own command-line client, as anyone with
  // access to the broker could; true once the client said it was sent.
  bool PublishWithClient(const std::string& topic, const std::string& payload);
  // Publishes `count` messages "forged 1", "forged 2", ... on `topic` through one client, as fast
  // as the broker takes them; true once the client said all were sent.
  bool FloodWithClient(const std::string& topic, size_t count);

 private:
  // Runs own-broker.sh's client `command` (publish, flood) on `topic`, `extra` behind; true when
  // the client ended well.
  bool RunClient(const std::string& command, const std::string& topic, const std::string& extra);

  std::string dir_;
  uint16_t port_;
  int published_ = 0;
};

// test-broker.sh's broker (TCP, WebSocket, WebSocket over TLS) in a folder of the test's own.
class TlsBroker {
 public:
  TlsBroker();
  ~TlsBroker();
  // Waits until the broker wrote its ports and pin; false after the limit.
  bool Start();
  // `listener`: tcp, ws or wss.
  uint16_t Port(const std::string& listener) const;
  // The SHA-256 of its certificate, in hex.
  std::string Pin() const;

 private:
  std::string File(const char* name) const;
  std::string dir_;
};

// Whether a TCP listener answers on the loopback port.
bool Listening(uint16_t port);
// A loopback port nothing listens on now.
uint16_t FreePort();

// A master terminal of a hub: sends its marker and its image every half second, as the master
// library keeps itself registered, until it leaves.
class MasterOnHub {
 public:
  MasterOnHub(HWND hub, int32_t window, std::string image);
  ~MasterOnHub() { Leave(); }
  void SetImage(std::string image);
  // Detaches from the hub ("M_DEINIT") and stops.
  void Leave();

 private:
  void Beat();
  HWND hub_;
  int32_t window_;
  std::mutex lock_;
  std::string image_;
  std::atomic<bool> leaving_{false};
  std::thread thread_;
};

// The set a slave of `hub` fetches now.
std::string FetchSetOf(HWND hub);

// Publishes `payload` to the broker at `url` from the test; false when the broker did not take it.
bool PublishFromTest(const std::string& scheme, uint16_t port, const std::string& topic,
                     const std::string& payload, bool retain);
// The retained message on `topic`, read from the test; empty when none came within the limit.
std::string RetainedPayload(uint16_t port, const std::string& topic);
