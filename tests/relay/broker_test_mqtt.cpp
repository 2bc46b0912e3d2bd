#include "broker_test_mqtt.h"

#include <chrono>

#include "mqtt_packet.h"

namespace {

void AppendText(Bytes& body, const std::string& text) {
  body.push_back(static_cast<uint8_t>(text.size() >> 8));
  body.push_back(static_cast<uint8_t>(text.size()));
  body.insert(body.end(), text.begin(), text.end());
}

void AppendId(Bytes& body, uint16_t id) {
  body.push_back(static_cast<uint8_t>(id >> 8));
  body.push_back(static_cast<uint8_t>(id));
}

Bytes Packet(uint8_t first, const Bytes& body) {
  Bytes packet{first};
  mqtt::AppendRemainingLength(packet, static_cast<uint32_t>(body.size()));
  packet.insert(packet.end(), body.begin(), body.end());
  return packet;
}

}  // namespace

Bytes ConnectPacket(const std::string& clientId) {
  Bytes body;
  AppendText(body, "MQTT");
  body.push_back(4);     // protocol level 3.1.1
  body.push_back(0x02);  // clean session
  AppendId(body, 60);
  AppendText(body, clientId);
  return Packet(0x10, body);
}

Bytes RetainedPublishPacket(const std::string& topic, const Bytes& payload, uint16_t packetId) {
  Bytes body;
  AppendText(body, topic);
  AppendId(body, packetId);
  body.insert(body.end(), payload.begin(), payload.end());
  return Packet(0x33, body);
}

Bytes SubscribePacket(const std::string& topic, uint16_t packetId) {
  Bytes body;
  AppendId(body, packetId);
  AppendText(body, topic);
  body.push_back(1);
  return Packet(0x82, body);
}

Bytes PingPacket() { return {0xC0, 0x00}; }

Publication ReadPublication(const Bytes& packet) {
  size_t at = 1;
  while (at < packet.size() && (packet[at] & 0x80)) at++;
  at++;
  if (at + 2 > packet.size()) return {};
  const size_t topicSize = packet[at] * 256 + packet[at + 1];
  const size_t payloadAt = at + 2 + topicSize + 2;  // after the packet id
  if (payloadAt > packet.size()) return {};
  return {std::string(packet.begin() + at + 2, packet.begin() + at + 2 + topicSize),
          Bytes(packet.begin() + payloadAt, packet.end())};
}

size_t PacketReader::WholePacketSize() const {
  size_t length = 0;
  size_t scale = 1;
  for (size_t at = 1; at < buffered_.size() && at <= 4; at++, scale *= 128) {
    length += (buffered_[at] & 0x7F) * scale;
    if (!(buffered_[at] & 0x80)) {
      const size_t whole = at + 1 + length;
      return buffered_.size() >= whole ? whole : 0;
    }
  }
  return 0;
}

Bytes PacketReader::Next(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  Bytes piece(capacity_);
  while (WholePacketSize() == 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return {};
    const int received = transport_.Receive(piece.data(), piece.size(), static_cast<int>(left));
    if (received < 0) return {};
    buffered_.insert(buffered_.end(), piece.begin(), piece.begin() + received);
  }
  const size_t whole = WholePacketSize();
  Bytes packet(buffered_.begin(), buffered_.begin() + whole);
  buffered_.erase(buffered_.begin(), buffered_.begin() + whole);
  return packet;
}
