#include "relay_program_fixture_win.h"

#include <winsock2.h>

#include <chrono>
#include <sstream>

#include "broker_connection.h"
#include "link_protocol.h"
#include "mqtt_session.h"
#include "poll_until.h"
#include "test_terminal.h"

namespace {

// The hub keeps the image of a master with a non-zero instance only.
const int32_t kInstance = 1;

int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) count++;
  return count;
}

struct WinsockUse {
  WinsockUse() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockUse() { WSACleanup(); }
};

}  // namespace

std::string RelayXml(const std::string& url, const std::string& role, const std::string& channel_id,
                     const std::string& remote_channel, const std::string& secret,
                     const std::string& extra) {
  return "<root><relay><broker_url>" + url + "</broker_url><secret>" + secret +
         "</secret><channel_id>" + channel_id + "</channel_id><remote_channel>" + remote_channel +
         "</remote_channel><role>" + role + "</role>" + extra + "</relay></root>";
}

RunningRelay::RunningRelay(const char* settings) {
  CopyFileA(QELV_BIN_DIR "qelv_relay.exe", (folder_ / "qelv_relay.exe").c_str(), FALSE);
  if (settings) WriteFileText(folder_ / "qelv-relay.xml", settings);
  Start();
}

void RunningRelay::Start() {
  process_ = std::make_unique<ChildProcess>();
  process_->Start("\"" + (folder_ / "qelv_relay.exe") + "\"", folder_.path().c_str());
}

bool RunningRelay::WaitForLog(const std::string& text, size_t times) const {
  return PollUntil(kRelayLimitMs, [&] { return Occurrences(Log(), text) >= times; });
}

HWND RunningRelay::StatusWindow() const {
  return process_ ? process_->Dialog() : NULL;
}

std::string RunningRelay::StatusValue(const std::string& label) const {
  HWND window = StatusWindow();
  if (!window) return "";
  char text[512];
  for (int row = 0; row < 6; row++) {
    // The rows' identifiers: labels from 1000, values from 1010 (relay/relay_resource.h).
    GetDlgItemTextA(window, 1000 + row, text, sizeof text);
    if (label + ":" != text) continue;
    GetDlgItemTextA(window, 1010 + row, text, sizeof text);
    return text;
  }
  return "";
}

bool RunningRelay::Close() {
  HWND window = NULL;
  PollUntil(kRelayLimitMs, [&] { return (window = StatusWindow()) != NULL; });
  if (!window) return false;
  PostMessageA(window, WM_CLOSE, 0, 0);
  return process_->WaitForExit(kRelayLimitMs);
}

// Runs tests/relay/own-broker.sh with `arguments`.
bool RunBrokerScript(const std::string& arguments) {
  // Wine starts a Linux program by its path but gives no handle to wait on.
  ChildProcess script;
  return script.Start("Z:\\bin\\sh " QELV_OWN_BROKER_SCRIPT " " + arguments);
}

OwnBroker::OwnBroker()
    : dir_(std::string(QELV_RELAY_PROGRAM_DIR) + "/own-broker-" +
           std::to_string(GetCurrentProcessId())),
      port_(FreePort()) {}

bool OwnBroker::Start() {
  return RunBrokerScript("start " + dir_ + " " + std::to_string(port_)) &&
         PollUntil(kRelayLimitMs, [&] { return Listening(port_); });
}

bool OwnBroker::Stop() {
  return RunBrokerScript("stop " + dir_) && PollUntil(kRelayLimitMs, [&] { return !Listening(port_); });
}

bool OwnBroker::PublishWithClient(const std::string& topic, const std::string& payload) {
  WriteFileText("Z:" + dir_ + "/payload-" + std::to_string(published_ + 1), payload);
  return RunClient("publish", topic, "");
}

bool OwnBroker::FloodWithClient(const std::string& topic, size_t count) {
  return RunClient("flood", topic, std::to_string(count));
}

bool OwnBroker::RunClient(const std::string& command, const std::string& topic,
                          const std::string& extra) {
  const std::string n = std::to_string(++published_);
  const std::string done = "Z:" + dir_ + "/published-" + n;
  DeleteFileA(done.c_str());
  std::string status;
  return RunBrokerScript(command + " " + dir_ + " " + std::to_string(port_) + " " + topic + " " + n +
                         " " + extra) &&
         PollUntil(kRelayLimitMs, [&] {
           status = PathExists(done) ? ReadFileText(done) : "";  // written once the client ended
           return !status.empty();
         }) &&
         status[0] == '0';
}

TlsBroker::TlsBroker()
    : dir_(std::string(QELV_RELAY_PROGRAM_DIR) + "/tls-broker-" +
           std::to_string(GetCurrentProcessId())) {}

TlsBroker::~TlsBroker() { RunBrokerScript("tls-stop " + dir_); }

bool TlsBroker::Start() {
  // Wine's process ids come again in later runs, and with them this folder: the files of an
  // earlier broker must not pass for this one's.
  DeleteFileA(("Z:" + dir_ + "/broker.ports").c_str());
  DeleteFileA(("Z:" + dir_ + "/broker.pin").c_str());
  return RunBrokerScript("tls-start " + dir_) &&
         PollUntil(kRelayLimitMs, [&] { return Pin().size() == 64 && Port("wss") != 0; });
}

std::string TlsBroker::File(const char* name) const {
  std::string text = ReadFileText("Z:" + dir_ + "/" + name);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

uint16_t TlsBroker::Port(const std::string& listener) const {
  std::istringstream lines(File("broker.ports"));
  std::string name;
  int port = 0;
  while (lines >> name >> port)
    if (name == listener) return static_cast<uint16_t>(port);
  return 0;
}

std::string TlsBroker::Pin() const { return File("broker.pin"); }

bool Listening(uint16_t port) {
  WinsockUse winsock;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  const bool answered = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  closesocket(s);
  return answered;
}

uint16_t FreePort() {
  WinsockUse winsock;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  int size = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  closesocket(s);
  return ntohs(address.sin_port);
}

MasterOnHub::MasterOnHub(HWND hub, int32_t window, std::string image)
    : hub_(hub), window_(window), image_(std::move(image)), thread_([this] { Beat(); }) {}

void MasterOnHub::SetImage(std::string image) {
  std::lock_guard<std::mutex> hold(lock_);
  image_ = std::move(image);
}

void MasterOnHub::Leave() {
  if (leaving_.exchange(true)) return;
  thread_.join();
  DWORD_PTR answer;
  SendMessageTimeoutA(hub_, RegisterWindowMessageA(link::kMasterDetach), window_, kInstance, SMTO_NORMAL,
                      30000, &answer);
}

void MasterOnHub::Beat() {
  const UINT marker = RegisterWindowMessageA(link::kMasterMarker);
  while (!leaving_) {
    std::string image;
    {
      std::lock_guard<std::mutex> hold(lock_);
      image = image_;
    }
    DWORD_PTR answer;
    SendMessageTimeoutA(hub_, marker, window_, kInstance, SMTO_NORMAL, 30000, &answer);
    COPYDATASTRUCT frame{link::kCopyDataTag, static_cast<DWORD>(image.size()), image.data()};
    SendMessageTimeoutA(hub_, WM_COPYDATA, window_, reinterpret_cast<LPARAM>(&frame), SMTO_NORMAL,
                        30000, &answer);
    for (int i = 0; i < 10 && !leaving_; i++) Sleep(50);
  }
}

std::string FetchSetOf(HWND hub) {
  TestTerminal slave(hub);
  if (slave.RequestImageSet() != 0) return "<no answer>";
  return slave.LastImageSet();
}

bool PublishFromTest(const std::string& scheme, uint16_t port, const std::string& topic,
                     const std::string& payload, bool retain) {
  std::string error;
  auto transport = ConnectBroker(scheme, "127.0.0.1", port, "/mqtt", "", 15000, &error);
  if (!transport) return false;
  MqttSession session(*transport, SteadyMs, [](const mqtt::Message&) {});
  mqtt::ConnectOptions options;
  options.client_id = "relay-program-test-" + std::to_string(GetCurrentProcessId());
  if (!session.Connect(options, 15000).ok()) return false;
  const bool taken = session.Publish(topic, payload, 1, retain, 15000).ok();
  session.Disconnect();
  return taken;
}

std::string RetainedPayload(uint16_t port, const std::string& topic) {
  std::string error;
  auto transport = ConnectBroker("mqtt", "127.0.0.1", port, "", "", 15000, &error);
  if (!transport) return "";
  std::string payload;
  MqttSession session(*transport, SteadyMs, [&](const mqtt::Message& m) {
    if (m.topic == topic) payload = m.payload;
  });
  mqtt::ConnectOptions options;
  options.client_id = "relay-program-reader-" + std::to_string(GetCurrentProcessId());
  if (!session.Connect(options, 15000).ok()) return "";
  const mqtt::Subscription filter{topic, 1};
  if (!session.Subscribe({&filter, 1}, 15000).ok()) return "";
  PollUntil(15000, [&] { return !payload.empty() || session.Poll(100).status == SessionOutcome::kBroken; });
  session.Disconnect();
  return payload;
}
