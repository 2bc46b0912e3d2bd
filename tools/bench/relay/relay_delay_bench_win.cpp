// The relay's delay under Wine: from a master's image send on hub A until hub B, on the other
// side of a publishing relay, the broker and a subscribing relay, publishes the new checksum.
// Two real hubs (copies of Varnick.exe with channels of their own), two real qelv_relay.exe
// processes, the broker that tests/relay/test-broker.sh started (its folder holds broker.ports
// and broker.pin), and the master library in this process. Each road, plain TCP and WebSocket
// over TLS with the certificate pinned, gets relays of its own.
//
//   relay_delay_bench BROKER_FOLDER [changes] [--trace]   (from bin/; 500 changes by default;
//                                        tools/bench/relay/relay-delay-bench.sh starts the broker)
//
// --trace: a watcher subscribed over plain TCP notes when each relayed message left the broker,
// and a table per road cuts the delay there.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../bench_support_win.h"
#include "broker_connection.h"
#include "child_process.h"
#include "link_endpoint_win.h"
#include "master_library_win.h"
#include "mqtt_session.h"
#include "published_event.h"
#include "relay_delay_rounds.h"
#include "running_hub.h"
#include "temp_folder.h"

using bench::BinFolder;
using bench::Now;

namespace {

const int kMasterWindow = 9201, kMasterInstance = 1;
const char kLogin[] = "4711";
const char kSecret[] = "the relay benchmark's shared secret";
const DWORD kRoundLimitMs = 30000;
const DWORD kStartLimitMs = 60000;  // relays connecting on a busy machine
const int kOrders = 10;             // the image's orders; one of them changes each round

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// qelv_relay.exe in a folder of its own beside its settings.
class Relay {
 public:
  explicit Relay(const std::string& settings) {
    CopyFileA((BinFolder() + "qelv_relay.exe").c_str(), (folder_ / "qelv_relay.exe").c_str(), FALSE);
    WriteFileText(folder_ / "qelv-relay.xml", settings);
    process_.Start("\"" + (folder_ / "qelv_relay.exe") + "\"", folder_.path().c_str());
  }
  // Closed as a user closes its window, so that it detaches its masters from the hub: left to
  // the hub's expiry, they would change hub B's checksum during the next road.
  ~Relay() {
    const HWND dialog = process_.Dialog();
    if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
    if (!dialog || !process_.WaitForExit(kStartLimitMs)) {
      std::fprintf(stderr, "relay_delay_bench: a relay did not close; its log:\n%s\n", Log().c_str());
      process_.Kill();
    }
  }
  std::string Log() const { return ReadFileText(folder_ / "qelv-relay.log"); }

 private:
  TempFolder folder_;
  ChildProcess process_;
};

std::string RelayXml(const std::string& url, const char* role, const std::string& channel_id,
                     const std::string& remote, const std::string& extra) {
  return "<root><relay><broker_url>" + url + "</broker_url><secret>" + kSecret + "</secret><channel_id>" +
         channel_id + "</channel_id><remote_channel>" + remote + "</remote_channel><role>" + role + "</role>" +
         extra + "</relay></root>";
}

// A subscriber of the remote channel's topics over plain TCP that notes when each message came.
class BrokerWatch {
 public:
  BrokerWatch(uint16_t port, std::string filter) : port_(port), filter_(std::move(filter)) {
    thread_ = std::thread([this] { Watch(); });
    while (!ready_) Sleep(10);
  }
  ~BrokerWatch() {
    stop_ = true;
    thread_.join();
  }
  bool Subscribed() const { return subscribed_; }
  std::vector<double> Arrivals() {
    std::lock_guard<std::mutex> hold(lock_);
    return arrivals_;
  }

 private:
  void Watch() {
    std::string error;
    auto transport = ConnectBroker("mqtt", "127.0.0.1", port_, "", "", 15000, &error);
    if (transport) {
      MqttSession session(*transport, SteadyMs, [this](const mqtt::Message&) {
        const double at = Now();
        std::lock_guard<std::mutex> hold(lock_);
        arrivals_.push_back(at);
      });
      mqtt::ConnectOptions options;
      options.client_id = "relay-delay-watch-" + std::to_string(GetCurrentProcessId());
      const mqtt::Subscription subscription{filter_, 1};
      subscribed_ = session.Connect(options, 15000).ok() && session.Subscribe({&subscription, 1}, 15000).ok();
      ready_ = true;
      while (subscribed_ && !stop_)
        if (session.Poll(50).status == SessionOutcome::kBroken) break;
      session.Disconnect();
    } else {
      std::fprintf(stderr, "relay_delay_bench: the watcher cannot reach the broker: %s\n", error.c_str());
    }
    ready_ = true;
  }

  const uint16_t port_;
  const std::string filter_;
  std::atomic<bool> ready_{false}, stop_{false}, subscribed_{false};
  std::mutex lock_;
  std::vector<double> arrivals_;
  std::thread thread_;
};

// The master of hub A, whose account holds kOrders orders: the first one's take profit is the
// round's number, so that each round's image is new.
class Master {
 public:
  Master(const MasterExports& m, std::string channel) : m_(m), channel_(std::move(channel)) {}

  void Send(int round) {
    m_.image_clear();
    m_.image_set(channel_.c_str(), kLogin);
    for (int k = 0; k < kOrders; k++)
      m_.image_append(0, 5, 2, 100000 + k, 1252972800 + k, 0, 0.1, "EURUSD", 1.08345, 0,
                      k == 0 ? 1.1 + round * 1e-5 : 0, 0, 0, 0, 0, "bench");
    m_.image_send(kMasterWindow);
    if (GetTickCount() - last_marker_ >= 5000) {  // kept registered, as the expert does
      m_.marker_send(kMasterWindow, kMasterInstance);
      last_marker_ = GetTickCount();
    }
  }

 private:
  const MasterExports& m_;
  const std::string channel_;
  DWORD last_marker_ = GetTickCount();
};

// Hub B's published checksum, and its signal to wait on between reads.
class HubWatch {
 public:
  explicit HubWatch(const std::string& channel)
      : signal_(OpenEventA(SYNCHRONIZE, FALSE, link::PublishedEventName(channel).c_str())) {
    hub_.FindHub(channel.c_str());
  }
  ~HubWatch() {
    if (signal_) CloseHandle(signal_);
  }
  uint32_t Checksum() const { return hub_.PublishedChecksum(); }
  // When the checksum first differed from `before`; 0 after `limit_ms`.
  double ChangeFrom(uint32_t before, DWORD limit_ms) const {
    const DWORD since = GetTickCount();
    while (Checksum() == before) {
      if (GetTickCount() - since >= limit_ms) return 0;
      // The hub sets and resets its signal at once: a publication between the read and the
      // wait costs this millisecond.
      if (signal_) WaitForSingleObject(signal_, 1);
      else Sleep(1);
    }
    return Now();
  }

 private:
  LinkEndpoint hub_;
  HANDLE signal_;
};

struct Road {
  const char* name;
  std::string url;
  std::string extra;  // more settings of both relays
};

// One road: its relays, a first image through them, then `changes` timed rounds.
bool Run(const Road& road, Master& master, const HubWatch& hub_b, const std::string& channel_a,
         const std::string& channel_b, uint16_t tcp_port, int changes, bool trace, int& round) {
  const std::string remote = "bench" + std::to_string(GetCurrentProcessId()) + "-" + road.name;
  std::unique_ptr<BrokerWatch> watch;
  if (trace) {
    watch = std::make_unique<BrokerWatch>(tcp_port, "qelv/" + remote + "/+");
    if (!watch->Subscribed()) return false;
  }
  Relay publisher(RelayXml(road.url, "publish", channel_a, remote, road.extra));
  Relay subscriber(RelayXml(road.url, "subscribe", channel_b, remote, road.extra));
  uint32_t before = hub_b.Checksum();
  master.Send(++round);
  if (hub_b.ChangeFrom(before, kStartLimitMs) == 0) {
    std::fprintf(stderr, "relay_delay_bench: %s: the first image did not reach hub B; the relays' logs:\n%s\n%s\n",
                 road.name, publisher.Log().c_str(), subscriber.Log().c_str());
    return false;
  }
  std::vector<RelayRound> rounds;
  for (int i = 0; i < changes; i++) {
    // Pauses of 2 to 54 ms: a change falls at every phase of the relays' own waits, instead of
    // one phase that the previous round's end would set.
    Sleep(static_cast<DWORD>(2 + i * 37 % 53));
    RelayRound r;
    before = hub_b.Checksum();
    r.send_began = Now();
    master.Send(++round);
    r.sent = Now();
    r.published = hub_b.ChangeFrom(before, kRoundLimitMs);
    if (r.published == 0) {
      std::fprintf(stderr, "relay_delay_bench: %s: round %d did not reach hub B\n", road.name, i);
      return false;
    }
    rounds.push_back(r);
  }
  std::printf("%s", DelayRow(road.name, rounds).c_str());
  std::fflush(stdout);
  if (watch) {
    AssignBrokerTimes(rounds, watch->Arrivals());
    std::printf("\n%s: where the delay went\n%s\n", road.name, StageTable(rounds).c_str());
    std::fflush(stdout);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string broker;
  int changes = 500;
  bool trace = false;
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--trace") == 0) trace = true;
    else if (broker.empty()) broker = argv[i];
    else changes = std::max(1, std::atoi(argv[i]));
  }
  if (broker.empty()) {
    std::fprintf(stderr, "usage: relay_delay_bench BROKER_FOLDER [changes] [--trace]\n");
    return 2;
  }
  if (broker.back() != '\\' && broker.back() != '/') broker += '\\';
  const std::string ports = ReadText(broker + "broker.ports");
  std::string pin = ReadText(broker + "broker.pin");
  pin.erase(std::remove_if(pin.begin(), pin.end(), [](char c) { return !isxdigit(static_cast<unsigned char>(c)); }),
            pin.end());
  const auto tcp = ListenerPort(ports, "tcp"), wss = ListenerPort(ports, "wss");
  if (!tcp || !wss || pin.size() != 64) {
    std::fprintf(stderr, "relay_delay_bench: no broker.ports with tcp and wss, or no broker.pin, in %s\n",
                 broker.c_str());
    return 1;
  }

  const std::string id = std::to_string(GetCurrentProcessId());
  const std::string channel_a = "qelv_relay_bench_a_" + id, channel_b = "qelv_relay_bench_b_" + id;
  HMODULE dll = LoadLibraryA((BinFolder() + "qelv_d30or.dll").c_str());
  MasterExports m{};
  if (!dll || FindExports(dll, m)) {
    std::fprintf(stderr, "relay_delay_bench: cannot load qelv_d30or.dll\n");
    return 1;
  }
  int status = 0;
  {
    RunningHub hub_a(SettingsFor(channel_a).c_str()), hub_b(SettingsFor(channel_b).c_str());
    if (!hub_a.WaitForEndpoint(channel_a) || !hub_b.WaitForEndpoint(channel_b) || !m.find_window(channel_a.c_str())) {
      std::fprintf(stderr, "relay_delay_bench: the hubs did not start\n");
      return 1;
    }
    m.init(0, 0);
    m.marker_send(kMasterWindow, kMasterInstance);
    Master master(m, channel_a);
    const HubWatch watch_b(channel_b);
    std::printf("relay delay under Wine, %d changes of a master's image of %d orders: from its send on hub A\n"
                "until hub B, behind a publishing relay, the broker and a subscribing relay, publishes\n\n"
                "road    rounds    p50 ms    p95 ms    p99 ms    max ms\n",
                changes, kOrders);
    std::fflush(stdout);
    const Road roads[] = {
        {"tcp", "mqtt://127.0.0.1:" + std::to_string(*tcp), ""},
        {"wss", "wss://localhost:" + std::to_string(*wss) + "/mqtt", "<cert_sha256>" + pin + "</cert_sha256>"}};
    int round = 0;
    for (const Road& road : roads)
      if (!Run(road, master, watch_b, channel_a, channel_b, *tcp, changes, trace, round)) status = 1;
    m.deinit(kMasterWindow, kMasterInstance);
  }
  FreeLibrary(dll);
  return status;
}
