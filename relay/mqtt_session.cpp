#include "mqtt_session.h"

#include <algorithm>
#include <limits>

namespace {

constexpr size_t kReceiveChunk = 16 * 1024;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

SessionOutcome Ok() { return {}; }

}  // namespace

MqttSession::MqttSession(ByteTransport& transport, Clock now_ms, Delivery deliver,
                         size_t max_packet_bytes)
    : transport_(transport), now_ms_(std::move(now_ms)), deliver_(std::move(deliver)),
      reader_(max_packet_bytes), receive_buffer_(kReceiveChunk) {
  last_sent_ms_ = now_ms_();
}

SessionOutcome MqttSession::Connect(const mqtt::ConnectOptions& options, int timeout_ms) {
  std::optional<mqtt::Bytes> packet = mqtt::EncodeConnect(options);
  if (!packet) return {SessionOutcome::kRefused, "client id, user or password longer than 65535 bytes"};
  keep_alive_ms_ = int64_t{options.keep_alive_s} * 1000;
  SessionOutcome sent = Send(*packet);
  if (!sent.ok()) return sent;
  SessionOutcome answer = Await(Awaiting::kConnack, 0, timeout_ms, "CONNACK");
  if (!answer.ok()) return answer;
  if (connack_.return_code != 0) {
    // The broker closes the connection after a refusal.
    std::string text = std::string("broker refused the connection: ") +
                       mqtt::ConnackText(connack_.return_code) + " (" +
                       std::to_string(connack_.return_code) + ")";
    Break(text);
    return {SessionOutcome::kRefused, text};
  }
  return Ok();
}

SessionOutcome MqttSession::Subscribe(std::span<const mqtt::Subscription> subscriptions,
                                      int timeout_ms) {
  const uint16_t id = NextPacketId();
  std::optional<mqtt::Bytes> packet = mqtt::EncodeSubscribe(id, subscriptions);
  if (!packet) return {SessionOutcome::kRefused, "no filter, a filter too long or a QoS above 2"};
  SessionOutcome sent = Send(*packet);
  if (!sent.ok()) return sent;
  SessionOutcome answer = Await(Awaiting::kSuback, id, timeout_ms, "SUBACK");
  if (!answer.ok()) return answer;
  if (suback_.return_codes.size() != subscriptions.size())
    return Break("SUBACK answers " + std::to_string(suback_.return_codes.size()) + " of " +
                 std::to_string(subscriptions.size()) + " filters");
  for (size_t i = 0; i < subscriptions.size(); i++)
    if (suback_.return_codes[i] == 0x80)
      return {SessionOutcome::kRefused, "broker refused the subscription to " + subscriptions[i].filter};
  return Ok();
}

SessionOutcome MqttSession::Publish(std::string_view topic, std::string_view payload, uint8_t qos,
                                    bool retain, int timeout_ms) {
  mqtt::Message message{std::string(topic), std::string(payload), qos, retain, false, 0};
  if (qos == 1) message.packet_id = NextPacketId();
  std::optional<mqtt::Bytes> packet = mqtt::EncodePublish(message);
  if (!packet) return {SessionOutcome::kRefused, "topic too long, payload too large or QoS above 1"};
  SessionOutcome sent = Send(*packet);
  if (!sent.ok() || qos == 0) return sent;
  return Await(Awaiting::kPuback, message.packet_id, timeout_ms, "PUBACK");
}

SessionOutcome MqttSession::Poll(int timeout_ms) {
  if (broken()) return {SessionOutcome::kBroken, broken_text_};
  const int64_t deadline = now_ms_() + std::max(timeout_ms, 0);
  const size_t handled_before = handled_packets_;
  for (;;) {
    SessionOutcome alive = KeepAlive();
    if (!alive.ok()) return alive;
    const int64_t until = std::min(deadline, KeepAliveDue());
    bool idle = false;
    SessionOutcome received = ReceiveUntil(until, &idle);
    if (!received.ok()) return received;
    const bool woken = idle && now_ms_() < until;
    if (woken || handled_packets_ != handled_before || now_ms_() >= deadline) return Ok();
  }
}

void MqttSession::Disconnect() {
  Send(mqtt::EncodeDisconnect());
  Break("disconnected");
}

SessionOutcome MqttSession::Send(const mqtt::Bytes& bytes) {
  if (broken()) return {SessionOutcome::kBroken, broken_text_};
  if (!transport_.Send(bytes.data(), bytes.size())) return Break("sending to the broker failed");
  last_sent_ms_ = now_ms_();
  return Ok();
}

SessionOutcome MqttSession::Break(std::string text) {
  if (!broken()) broken_text_ = std::move(text);
  return {SessionOutcome::kBroken, broken_text_};
}

SessionOutcome MqttSession::Await(Awaiting what, uint16_t packet_id, int timeout_ms,
                                  const char* name) {
  awaiting_ = what;
  awaited_id_ = packet_id;
  answered_ = false;
  const int64_t deadline = now_ms_() + std::max(timeout_ms, 0);
  SessionOutcome outcome;
  while (!answered_) {
    if (now_ms_() >= deadline) {
      outcome = {SessionOutcome::kTimedOut,
                 std::string("no ") + name + " within " + std::to_string(timeout_ms) + " ms"};
      break;
    }
    outcome = KeepAlive();
    if (outcome.ok()) outcome = ReceiveUntil(std::min(deadline, KeepAliveDue()));
    if (!outcome.ok()) break;
  }
  awaiting_ = Awaiting::kNothing;
  return outcome;
}

SessionOutcome MqttSession::ReceiveUntil(int64_t deadline, bool* idle) {
  if (broken()) return {SessionOutcome::kBroken, broken_text_};
  const int64_t wait = std::clamp<int64_t>(deadline - now_ms_(), 0, std::numeric_limits<int>::max());
  const int n = transport_.Receive(receive_buffer_.data(), receive_buffer_.size(), static_cast<int>(wait));
  if (n < 0) return Break("the broker closed the connection");
  if (idle) *idle = n == 0;
  if (n == 0) return Ok();
  reader_.Feed(receive_buffer_.data(), static_cast<size_t>(std::min<size_t>(n, receive_buffer_.size())));
  mqtt::Packet packet;
  for (;;) {
    switch (reader_.Next(packet)) {
      case mqtt::FrameReader::Status::kNeedMore: return Ok();
      case mqtt::FrameReader::Status::kMalformed:
        return Break(std::string("malformed stream from the broker: ") + reader_.fault());
      case mqtt::FrameReader::Status::kPacket: {
        handled_packets_++;
        SessionOutcome handled = Handle(packet);
        if (!handled.ok()) return handled;
        break;
      }
    }
  }
}

SessionOutcome MqttSession::Handle(const mqtt::Packet& packet) {
  mqtt::Fault fault = nullptr;
  if (awaiting_ == Awaiting::kConnack && packet.type() != mqtt::PacketType::kConnack)
    return Break("a packet before CONNACK");
  switch (packet.type()) {
    case mqtt::PacketType::kConnack:
      if (awaiting_ != Awaiting::kConnack) return Break("CONNACK out of turn");
      fault = mqtt::DecodeConnack(packet, connack_);
      answered_ = !fault;
      break;
    case mqtt::PacketType::kPublish: {
      mqtt::Message message;
      fault = mqtt::DecodePublish(packet, message);
      if (fault) break;
      deliver_(message);
      if (message.qos == 1) return Send(mqtt::EncodePuback(message.packet_id));
      break;
    }
    case mqtt::PacketType::kPuback: {
      uint16_t id = 0;
      fault = mqtt::DecodePuback(packet, id);
      // A late PUBACK of a publish that timed out is no fault.
      if (!fault && awaiting_ == Awaiting::kPuback && id == awaited_id_) answered_ = true;
      break;
    }
    case mqtt::PacketType::kSuback: {
      mqtt::Suback suback;
      fault = mqtt::DecodeSuback(packet, suback);
      if (!fault && awaiting_ == Awaiting::kSuback && suback.packet_id == awaited_id_) {
        suback_ = std::move(suback);
        answered_ = true;
      }
      break;
    }
    case mqtt::PacketType::kPingresp:
      fault = mqtt::DecodePingresp(packet);
      ping_sent_ms_ = -1;
      break;
    default:
      return Break("unexpected packet type " + std::to_string(packet.header >> 4) + " from the broker");
  }
  if (fault) return Break(fault);
  return Ok();
}

SessionOutcome MqttSession::KeepAlive() {
  if (broken()) return {SessionOutcome::kBroken, broken_text_};
  if (keep_alive_ms_ == 0) return Ok();
  const int64_t now = now_ms_();
  if (ping_sent_ms_ >= 0) {
    if (now - ping_sent_ms_ >= keep_alive_ms_) return Break("no PINGRESP within the keep-alive");
    return Ok();
  }
  if (now - last_sent_ms_ < keep_alive_ms_) return Ok();
  SessionOutcome sent = Send(mqtt::EncodePingreq());
  if (sent.ok()) ping_sent_ms_ = now;
  return sent;
}

int64_t MqttSession::KeepAliveDue() const {
  if (keep_alive_ms_ == 0) return kNever;
  return (ping_sent_ms_ >= 0 ? ping_sent_ms_ : last_sent_ms_) + keep_alive_ms_;
}

uint16_t MqttSession::NextPacketId() {
  if (++last_packet_id_ == 0) last_packet_id_ = 1;  // 0 is no packet id
  return last_packet_id_;
}
