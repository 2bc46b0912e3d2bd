#pragma once
// MQTT 3.1.1 packets written out byte by byte for the transport tests, and a reader that cuts
// whole packets out of whatever pieces a transport hands over.
#include <cstdint>
#include <string>
#include <vector>

#include "byte_transport.h"

using Bytes = std::vector<uint8_t>;

Bytes ConnectPacket(const std::string& clientId);  // clean session, 60 s keep-alive
Bytes RetainedPublishPacket(const std::string& topic, const Bytes& payload,
                            uint16_t packetId);                      // QoS 1
Bytes SubscribePacket(const std::string& topic, uint16_t packetId);  // QoS 1
Bytes PingPacket();

struct Publication {
  std::string topic;
  Bytes payload;
};
// The topic and payload of a QoS 1 PUBLISH packet.
Publication ReadPublication(const Bytes& packet);

class PacketReader {
 public:
  // Each Receive asks for at most `capacity` bytes, so that packets arrive in pieces.
  PacketReader(ByteTransport& transport, size_t capacity)
      : transport_(transport), capacity_(capacity) {}
  // The next whole packet; empty when it did not come within timeoutMs or the connection ended.
  Bytes Next(int timeoutMs);

 private:
  size_t WholePacketSize() const;  // 0 while the buffered bytes hold no whole packet

  ByteTransport& transport_;
  size_t capacity_;
  Bytes buffered_;
};
