// The broker's transports against a real broker on loopback (tests/relay/test-broker.sh): MQTT's
// first exchanges over TCP, WebSocket and WebSocket over TLS with a pinned certificate, the
// waits, the ends, and the connections that must be refused.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "broker_connection.h"
#include "broker_test_mqtt.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string BrokerFile(const char* name) {
  std::ifstream file(std::string(QELV_RELAY_BROKER_DIR) + name);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

uint16_t BrokerPort(const std::string& listener) {
  std::istringstream lines(BrokerFile("broker.ports"));
  std::string name;
  int port = 0;
  while (lines >> name >> port)
    if (name == listener) return static_cast<uint16_t>(port);
  ADD_FAILURE() << "no " << listener << " port in broker.ports: is the broker fixture running?";
  return 0;
}

std::string BrokerPin() {
  std::string pin = BrokerFile("broker.pin");
  while (!pin.empty() && (pin.back() == '\n' || pin.back() == '\r')) pin.pop_back();
  return pin;
}

// A loopback port of the test's own: with no listener, with one that never accepts nor answers,
// or with one whose queue of connections not yet accepted is full, so that a new connection gets
// no answer at all.
enum class Listener { None, Silent, Full };

class LocalPort {
 public:
  explicit LocalPort(Listener listener) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int size = sizeof address;
    getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    if (listener == Listener::None) {
      closesocket(socket_);
      socket_ = INVALID_SOCKET;
      return;
    }
    listen(socket_, 1);
    // The system queues about backlog + 1 connections; a few more leave no doubt.
    for (int i = 0; listener == Listener::Full && i < 4; i++) {
      SOCKET filler = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
      u_long nonBlocking = 1;
      ioctlsocket(filler, FIONBIO, &nonBlocking);
      connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
      fillers_.push_back(filler);
    }
    Sleep(200);
  }
  ~LocalPort() {
    for (SOCKET filler : fillers_) closesocket(filler);
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    WSACleanup();
  }
  uint16_t port() const { return port_; }

 private:
  SOCKET socket_;
  std::vector<SOCKET> fillers_;
  uint16_t port_ = 0;
};

struct Road {
  const char* name;
  const char* scheme;
  const char* listener;  // its name in broker.ports
  bool pinned;
};
void PrintTo(const Road& r, std::ostream* out) { *out << r.name; }

class BrokerRoad : public testing::TestWithParam<Road> {
 protected:
  std::unique_ptr<ByteTransport> Open(int timeoutMs = 5000) {
    const Road& road = GetParam();
    std::string error;
    auto transport = ConnectBroker(road.scheme, "localhost", BrokerPort(road.listener), "/mqtt",
                                   road.pinned ? BrokerPin() : "", timeoutMs, &error);
    EXPECT_TRUE(transport) << error;
    return transport;
  }

  // A client id of its own per road and test, as the broker drops an older session of the same id.
  std::string ClientId(const char* role) {
    return std::string("qelv-") + GetParam().name + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name() + "-" + role;
  }

  std::string Topic() { return std::string("qelv-test/") + GetParam().name + "/master"; }

  static void ExpectConnected(ByteTransport& transport, PacketReader& reader,
                              const std::string& id) {
    const Bytes connect = ConnectPacket(id);
    ASSERT_TRUE(transport.Send(connect.data(), connect.size()));
    EXPECT_EQ(reader.Next(5000), (Bytes{0x20, 0x02, 0x00, 0x00}));
  }
};

TEST_P(BrokerRoad, RetainedImageIsAcknowledgedAndComesBackWhole) {
  auto publisher = Open();
  ASSERT_TRUE(publisher);
  PacketReader publisherReader(*publisher, 64);
  ExpectConnected(*publisher, publisherReader, ClientId("publisher"));

  // Several of the broker's WebSocket frames (4 kB each, 100 ms apart: it is slow with large
  // messages over WebSocket) and not a multiple of any piece size.
  Bytes image(20001);
  for (size_t i = 0; i < image.size(); i++) image[i] = static_cast<uint8_t>(i * 31 % 251);
  const Bytes publish = RetainedPublishPacket(Topic(), image, 0x1234);
  ASSERT_TRUE(publisher->Send(publish.data(), publish.size()));
  EXPECT_EQ(publisherReader.Next(5000), (Bytes{0x40, 0x02, 0x12, 0x34}));

  auto subscriber = Open();
  ASSERT_TRUE(subscriber);
  // Small odd reads: a packet's bytes cross every boundary of the transport's pieces.
  PacketReader subscriberReader(*subscriber, 997);
  ExpectConnected(*subscriber, subscriberReader, ClientId("subscriber"));
  const Bytes subscribe = SubscribePacket(Topic(), 9);
  ASSERT_TRUE(subscriber->Send(subscribe.data(), subscribe.size()));
  EXPECT_EQ(subscriberReader.Next(5000), (Bytes{0x90, 0x03, 0x00, 0x09, 0x01}));
  const Bytes delivered = subscriberReader.Next(10000);
  ASSERT_FALSE(delivered.empty());
  EXPECT_EQ(delivered[0] & 0xF1, 0x31) << "a retained PUBLISH";
  const Publication publication = ReadPublication(delivered);
  EXPECT_EQ(publication.topic, Topic());
  EXPECT_TRUE(publication.payload == image)
      << "payload of " << publication.payload.size() << " bytes";

  // The empty retained message removes the image for the next run.
  const Bytes removal = RetainedPublishPacket(Topic(), {}, 0x1235);
  ASSERT_TRUE(publisher->Send(removal.data(), removal.size()));
  EXPECT_EQ(publisherReader.Next(5000), (Bytes{0x40, 0x02, 0x12, 0x35}));
}

TEST_P(BrokerRoad, IdleWaitsTimeOutInBoundedTimeAndTheConnectionLivesOn) {
  // The connection time-out is shorter than the idle time: it must not end an idle connection.
  auto transport = Open(500);
  ASSERT_TRUE(transport);
  PacketReader reader(*transport, 256);
  ExpectConnected(*transport, reader, ClientId("idle"));
  for (int wait = 0; wait < 3; wait++) {
    uint8_t byte;
    const auto start = Clock::now();
    EXPECT_EQ(transport->Receive(&byte, 1, 400), 0);
    const long long waited = MillisecondsSince(start);
    EXPECT_GE(waited, 300);
    EXPECT_LT(waited, 3000);
  }
  const Bytes ping = PingPacket();
  ASSERT_TRUE(transport->Send(ping.data(), ping.size()));
  EXPECT_EQ(reader.Next(5000), (Bytes{0xD0, 0x00}));

  const auto start = Clock::now();
  transport.reset();
  EXPECT_LT(MillisecondsSince(start), 3000) << "closing waited for the broker";
}

TEST_P(BrokerRoad, AWakeFromAnotherThreadEndsAWaitingReceiveAndOnlyThatOne) {
  auto transport = Open();
  ASSERT_TRUE(transport);
  PacketReader reader(*transport, 256);
  ExpectConnected(*transport, reader, ClientId("wake"));
  uint8_t byte;
  std::thread waker([&] {
    Sleep(200);
    transport->Wake();
  });
  auto start = Clock::now();
  EXPECT_EQ(transport->Receive(&byte, 1, 60000), 0);
  EXPECT_LT(MillisecondsSince(start), 30000) << "the wake did not end the wait";
  waker.join();
  start = Clock::now();
  EXPECT_EQ(transport->Receive(&byte, 1, 400), 0);
  EXPECT_GE(MillisecondsSince(start), 300) << "one wake ended two waits";
  // A wake before the wait ends the next one; the connection lives on.
  transport->Wake();
  EXPECT_EQ(transport->Receive(&byte, 1, 60000), 0);
  const Bytes ping = PingPacket();
  ASSERT_TRUE(transport->Send(ping.data(), ping.size()));
  EXPECT_EQ(reader.Next(5000), (Bytes{0xD0, 0x00}));
}

TEST_P(BrokerRoad, ConnectionEndedByTheBrokerGivesMinusOne) {
  auto transport = Open();
  ASSERT_TRUE(transport);
  PacketReader reader(*transport, 256);
  ExpectConnected(*transport, reader, ClientId("ended"));
  // A second CONNECT breaks the protocol: the broker must close the connection.
  const Bytes connect = ConnectPacket(ClientId("ended"));
  ASSERT_TRUE(transport->Send(connect.data(), connect.size()));
  uint8_t buffer[64];
  const auto start = Clock::now();
  EXPECT_EQ(transport->Receive(buffer, sizeof buffer, 10000), -1);
  EXPECT_LT(MillisecondsSince(start), 9000);
  EXPECT_EQ(transport->Receive(buffer, sizeof buffer, 100), -1) << "the end is lasting";
}

INSTANTIATE_TEST_SUITE_P(Roads, BrokerRoad,
                         testing::Values(Road{"Tcp", "mqtt", "tcp", false},
                                         Road{"WebSocket", "ws", "ws", false},
                                         Road{"SecureWebSocket", "wss", "wss", true}),
                         [](const testing::TestParamInfo<Road>& info) {
                           return std::string(info.param.name);
                         });

enum class Port { Tcp, WebSocket, SecureWebSocket, Closed, Silent, Full };
enum class Pin { None, Right, Wrong, Malformed };

struct Refusal {
  const char* name;
  const char* scheme;
  const char* host;
  Port port;
  Pin pin;
  const char* reason;  // found in the error text
};
void PrintTo(const Refusal& r, std::ostream* out) { *out << r.name; }

class BrokerRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(BrokerRefusal, GivesNoTransportAndSaysWhyInBoundedTime) {
  const Refusal& r = GetParam();
  std::optional<LocalPort> local;
  if (r.port == Port::Closed) local.emplace(Listener::None);
  if (r.port == Port::Silent) local.emplace(Listener::Silent);
  if (r.port == Port::Full) local.emplace(Listener::Full);
  const uint16_t port = local                       ? local->port()
                        : r.port == Port::Tcp       ? BrokerPort("tcp")
                        : r.port == Port::WebSocket ? BrokerPort("ws")
                                                    : BrokerPort("wss");
  const std::string right = BrokerPin();
  const std::string wrong = std::string(right.rbegin(), right.rend());
  const std::string pin = r.pin == Pin::Right       ? right
                          : r.pin == Pin::Wrong     ? wrong
                          : r.pin == Pin::Malformed ? right.substr(2)
                                                    : "";
  std::string error;
  const auto start = Clock::now();
  auto transport = ConnectBroker(r.scheme, r.host, port, "/mqtt", pin, 1500, &error);
  EXPECT_LT(MillisecondsSince(start), 8000);
  EXPECT_FALSE(transport);
  EXPECT_NE(error.find(r.reason), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokerRefusal,
    testing::Values(
        Refusal{"TcpPortClosed", "mqtt", "127.0.0.1", Port::Closed, Pin::None, "refused"},
        Refusal{"WebSocketPortClosed", "ws", "127.0.0.1", Port::Closed, Pin::None,
                "cannot connect"},
        Refusal{"WebSocketServerSilent", "ws", "127.0.0.1", Port::Silent, Pin::None,
                "no answer in time"},
        Refusal{"TcpServerNotAnswering", "mqtt", "127.0.0.1", Port::Full, Pin::None, "10060"},
        Refusal{"WebSocketServerNotAnswering", "ws", "127.0.0.1", Port::Full, Pin::None,
                "no answer in time"},
        // Wine says only "secure channel error" where Windows names the certificate's fault.
        Refusal{"CertificateOfUnknownAuthorityUnpinned", "wss", "localhost", Port::SecureWebSocket,
                Pin::None, "secure connection refused"},
        Refusal{"CertificateNotThePinned", "wss", "localhost", Port::SecureWebSocket, Pin::Wrong,
                "does not match the pinned"},
        // The pin stands in for the authority only: the name must still be the host's.
        Refusal{"PinnedCertificateForAnotherName", "wss", "127.0.0.1", Port::SecureWebSocket,
                Pin::Right, "secure connection refused"},
        Refusal{"PinNotHex64", "wss", "localhost", Port::SecureWebSocket, Pin::Malformed,
                "not a SHA-256"},
        Refusal{"PinOnPlainWebSocket", "ws", "localhost", Port::WebSocket, Pin::Right,
                "needs a wss"},
        Refusal{"PinOnTcp", "mqtt", "localhost", Port::Tcp, Pin::Right, "needs a wss"},
        Refusal{"TlsToPlainWebSocketPort", "wss", "localhost", Port::WebSocket, Pin::Right,
                "WinHTTP error"},
        Refusal{"UnknownScheme", "http", "localhost", Port::WebSocket, Pin::None,
                "unknown broker scheme"}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
