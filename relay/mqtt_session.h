// One MQTT 3.1.1 client connection over a ByteTransport. It lives as long as the transport: once
// it reports kBroken the caller opens a new transport, builds a new session, connects,
// subscribes and republishes its current state. One thread owns a session: its calls are
// not synchronised.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "byte_transport.h"
#include "mqtt_packet.h"

struct SessionOutcome {
  enum Status {
    kOk,
    kRefused,   // the broker answered no: CONNACK code, or a subscription it did not grant
    kTimedOut,  // the answer did not come in time; the connection may still be usable
    kBroken,    // transport closed, a send failed, the peer broke the protocol or stopped answering pings
  };
  Status status = kOk;
  std::string text;  // what happened, for the log; empty with kOk
  bool ok() const { return status == kOk; }
};

class MqttSession {
public:
  using Clock = std::function<int64_t()>;  // milliseconds, never going back
  using Delivery = std::function<void(const mqtt::Message&)>;

  MqttSession(ByteTransport& transport, Clock now_ms, Delivery deliver,
              size_t max_packet_bytes = mqtt::kMaxPacketBytes);

  // Sends CONNECT and waits for CONNACK; a refusal's text names the broker's return code.
  SessionOutcome Connect(const mqtt::ConnectOptions& options, int timeout_ms);
  // Subscribes to every filter and waits for SUBACK; any filter refused is kRefused.
  SessionOutcome Subscribe(std::span<const mqtt::Subscription> subscriptions, int timeout_ms);
  // QoS 0 returns once sent; QoS 1 waits for the PUBACK. Not resent: the caller republishes after
  // reconnecting.
  SessionOutcome Publish(std::string_view topic, std::string_view payload, uint8_t qos, bool retain,
                         int timeout_ms);
  // Receives for up to timeout_ms, delivering publishes (acknowledging QoS 1 ones) and keeping the
  // connection alive; returns early once a packet was handled or the transport was woken.
  SessionOutcome Poll(int timeout_ms);
  // Says goodbye; the session is broken afterwards.
  void Disconnect();

  bool broken() const { return !broken_text_.empty(); }

private:
  enum class Awaiting { kNothing, kConnack, kSuback, kPuback };
  SessionOutcome Send(const mqtt::Bytes& bytes);
  SessionOutcome Break(std::string text);
  SessionOutcome Await(Awaiting what, uint16_t packet_id, int timeout_ms, const char* name);
  // Receives until `deadline` or until one read brought bytes, then handles every whole packet.
  // `idle`, when given, tells whether the transport answered without bytes before the deadline.
  SessionOutcome ReceiveUntil(int64_t deadline, bool* idle = nullptr);
  SessionOutcome Handle(const mqtt::Packet& packet);
  SessionOutcome KeepAlive();
  int64_t KeepAliveDue() const;
  uint16_t NextPacketId();

  ByteTransport& transport_;
  Clock now_ms_;
  Delivery deliver_;
  mqtt::FrameReader reader_;
  std::string broken_text_;
  int64_t keep_alive_ms_ = 0;
  int64_t last_sent_ms_ = 0;
  int64_t ping_sent_ms_ = -1;  // -1: no PINGRESP outstanding
  uint16_t last_packet_id_ = 0;
  size_t handled_packets_ = 0;
  mqtt::Bytes receive_buffer_;

  // The answer being waited for, filled in by Handle.
  Awaiting awaiting_ = Awaiting::kNothing;
  uint16_t awaited_id_ = 0;
  bool answered_ = false;
  mqtt::Connack connack_;
  mqtt::Suback suback_;
};
