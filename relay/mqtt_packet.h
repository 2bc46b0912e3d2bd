// MQTT 3.1.1 packets as the relay speaks them: one encoder per packet the client sends, one
// decoder per packet it receives, and a frame reader that cuts a byte stream into packets. No
// I/O here; the session moves the bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mqtt {

using Bytes = std::vector<uint8_t>;

enum class PacketType : uint8_t {
  kConnect = 1, kConnack = 2, kPublish = 3, kPuback = 4, kSubscribe = 8, kSuback = 9,
  kPingreq = 12, kPingresp = 13, kDisconnect = 14,
};

// The largest remaining length four length bytes can carry.
constexpr uint32_t kMaxRemainingLength = 268'435'455;
// A master's image has no size limit of its own, but its order lines hold at most 1023 bytes: the
// envelope's 8 MiB image bound (relay_envelope.h) holds over 8000 of the longest lines. Twice
// that leaves room for the topic and the envelope's own lines with a wide margin.
constexpr size_t kMaxPacketBytes = 16u << 20;

// A decoder's verdict: null when the packet is sound, else what is wrong with it.
using Fault = const char*;

struct ConnectOptions {
  std::string client_id;
  uint16_t keep_alive_s = 60;
  bool clean_session = true;
  std::optional<std::string> user;
  std::optional<std::string> password;  // sent only with a user, as the standard demands
};

struct Message {
  std::string topic;
  std::string payload;
  uint8_t qos = 0;  // 0 or 1
  bool retain = false;
  bool dup = false;
  uint16_t packet_id = 0;  // non-zero with QoS 1
};

struct Subscription {
  std::string filter;
  uint8_t qos = 0;
};

struct Connack {
  bool session_present = false;
  uint8_t return_code = 0;  // 0 accepted, 1..5 refused (ConnackText)
};

struct Suback {
  uint16_t packet_id = 0;
  std::vector<uint8_t> return_codes;  // granted QoS, or 0x80 for a refused filter
};

// A whole packet: its fixed header's first byte and the bytes its remaining length covers.
struct Packet {
  uint8_t header = 0;
  Bytes body;
  PacketType type() const { return static_cast<PacketType>(header >> 4); }
};

// Appends `length` (at most kMaxRemainingLength) in the standard's 1-4 byte form.
void AppendRemainingLength(Bytes& out, uint32_t length);

// Encoders. Those that carry texts answer nullopt when a text is longer than 65535 bytes, a
// QoS 1 message lacks its packet id, or the packet would outgrow kMaxRemainingLength.
std::optional<Bytes> EncodeConnect(const ConnectOptions& options);
std::optional<Bytes> EncodePublish(const Message& message);
std::optional<Bytes> EncodeSubscribe(uint16_t packet_id, std::span<const Subscription> subscriptions);
Bytes EncodePuback(uint16_t packet_id);
Bytes EncodePingreq();
Bytes EncodeDisconnect();

// Decoders of the packets a client receives.
Fault DecodeConnack(const Packet& packet, Connack& out);
Fault DecodePublish(const Packet& packet, Message& out);
Fault DecodePuback(const Packet& packet, uint16_t& packet_id);
Fault DecodeSuback(const Packet& packet, Suback& out);
Fault DecodePingresp(const Packet& packet);

// What a CONNACK return code means, for reports.
const char* ConnackText(uint8_t return_code);

// Takes a stream's bytes as they come and yields whole packets. A length that is malformed or
// announces a packet beyond the bound stops the reader for good: the stream cannot be resynced.
class FrameReader {
public:
  explicit FrameReader(size_t max_packet_bytes = kMaxPacketBytes);

  void Feed(const uint8_t* data, size_t size);

  enum class Status { kPacket, kNeedMore, kMalformed };
  // The next whole packet into `packet` (kPacket), or kNeedMore until more bytes come.
  Status Next(Packet& packet);
  // Why the reader stopped; null while it has not.
  Fault fault() const { return fault_; }

private:
  size_t max_packet_bytes_;
  Bytes buffer_;
  size_t start_ = 0;  // where the next packet begins in buffer_
  Fault fault_ = nullptr;
};

}  // namespace mqtt
