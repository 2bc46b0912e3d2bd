#include "mqtt_packet.h"

#include <algorithm>
#include <string_view>

namespace mqtt {
namespace {

constexpr size_t kMaxText = 0xFFFF;
constexpr uint8_t kProtocolLevel = 4;  // 3.1.1

// Builds a packet's variable header and payload, remembering whether any text was too long.
class BodyWriter {
public:
  void Byte(uint8_t b) { body_.push_back(b); }
  void Word(uint16_t w) {
    body_.push_back(static_cast<uint8_t>(w >> 8));
    body_.push_back(static_cast<uint8_t>(w & 0xFF));
  }
  void Text(std::string_view text) {
    if (text.size() > kMaxText) {
      too_long_ = true;
      return;
    }
    Word(static_cast<uint16_t>(text.size()));
    Raw(text);
  }
  void Raw(std::string_view bytes) { body_.insert(body_.end(), bytes.begin(), bytes.end()); }

  // The whole packet, or nullopt when a text or the body was too long.
  std::optional<Bytes> Finish(uint8_t header) const {
    if (too_long_ || body_.size() > kMaxRemainingLength) return std::nullopt;
    Bytes out{header};
    AppendRemainingLength(out, static_cast<uint32_t>(body_.size()));
    out.insert(out.end(), body_.begin(), body_.end());
    return out;
  }

private:
  Bytes body_;
  bool too_long_ = false;
};

// Reads a packet's body front to back; every read past the end fails instead of reading on.
class BodyReader {
public:
  explicit BodyReader(const Bytes& body) : body_(body) {}
  bool Word(uint16_t& w) {
    if (left() < 2) return false;
    w = static_cast<uint16_t>(body_[at_] << 8 | body_[at_ + 1]);
    at_ += 2;
    return true;
  }
  bool Text(std::string& text) {
    uint16_t size;
    if (!Word(size) || left() < size) return false;
    text.assign(reinterpret_cast<const char*>(body_.data() + at_), size);
    at_ += size;
    return true;
  }
  std::string Rest() {
    std::string rest(reinterpret_cast<const char*>(body_.data() + at_), left());
    at_ = body_.size();
    return rest;
  }
  size_t left() const { return body_.size() - at_; }
  size_t at() const { return at_; }

private:
  const Bytes& body_;
  size_t at_ = 0;
};

uint8_t Header(PacketType type, uint8_t flags = 0) {
  return static_cast<uint8_t>(static_cast<uint8_t>(type) << 4 | flags);
}

}  // namespace

void AppendRemainingLength(Bytes& out, uint32_t length) {
  do {
    uint8_t digit = length % 128;
    length /= 128;
    if (length > 0) digit |= 0x80;
    out.push_back(digit);
  } while (length > 0);
}

std::optional<Bytes> EncodeConnect(const ConnectOptions& o) {
  BodyWriter w;
  w.Text("MQTT");
  w.Byte(kProtocolLevel);
  uint8_t flags = o.clean_session ? 0x02 : 0;
  if (o.user) flags |= 0x80;
  if (o.user && o.password) flags |= 0x40;
  w.Byte(flags);
  w.Word(o.keep_alive_s);
  w.Text(o.client_id);
  if (o.user) w.Text(*o.user);
  if (o.user && o.password) w.Text(*o.password);
  return w.Finish(Header(PacketType::kConnect));
}

std::optional<Bytes> EncodePublish(const Message& m) {
  if (m.qos > 1 || (m.qos == 1 && m.packet_id == 0)) return std::nullopt;
  BodyWriter w;
  w.Text(m.topic);
  if (m.qos == 1) w.Word(m.packet_id);
  w.Raw(m.payload);
  const uint8_t flags = static_cast<uint8_t>((m.dup ? 0x08 : 0) | m.qos << 1 | (m.retain ? 1 : 0));
  return w.Finish(Header(PacketType::kPublish, flags));
}

std::optional<Bytes> EncodeSubscribe(uint16_t packet_id, std::span<const Subscription> subscriptions) {
  if (packet_id == 0 || subscriptions.empty()) return std::nullopt;
  BodyWriter w;
  w.Word(packet_id);
  for (const Subscription& s : subscriptions) {
    if (s.qos > 2) return std::nullopt;
    w.Text(s.filter);
    w.Byte(s.qos);
  }
  return w.Finish(Header(PacketType::kSubscribe, 0x02));  // flags fixed by the standard
}

Bytes EncodePuback(uint16_t packet_id) {
  return {Header(PacketType::kPuback), 2, static_cast<uint8_t>(packet_id >> 8),
          static_cast<uint8_t>(packet_id & 0xFF)};
}

Bytes EncodePingreq() { return {Header(PacketType::kPingreq), 0}; }

Bytes EncodeDisconnect() { return {Header(PacketType::kDisconnect), 0}; }

Fault DecodeConnack(const Packet& p, Connack& out) {
  if (p.header != Header(PacketType::kConnack)) return "CONNACK: wrong fixed header";
  if (p.body.size() != 2) return "CONNACK: remaining length is not 2";
  if (p.body[0] & 0xFE) return "CONNACK: reserved acknowledge flags set";
  out.session_present = p.body[0] & 1;
  out.return_code = p.body[1];
  return nullptr;
}

Fault DecodePublish(const Packet& p, Message& out) {
  if (p.type() != PacketType::kPublish) return "PUBLISH: wrong packet type";
  const uint8_t qos = (p.header >> 1) & 3;
  if (qos == 3) return "PUBLISH: QoS 3 does not exist";
  if (qos == 2) return "PUBLISH: QoS 2 was never asked for";
  const bool dup = p.header & 0x08;
  if (qos == 0 && dup) return "PUBLISH: DUP set on a QoS 0 message";
  BodyReader r(p.body);
  Message m;
  if (!r.Text(m.topic)) return "PUBLISH: topic runs past the packet";
  if (m.topic.empty()) return "PUBLISH: empty topic";
  if (m.topic.find_first_of(std::string_view("+#\0", 3)) != std::string::npos)
    return "PUBLISH: wildcard or zero byte in the topic";
  if (qos == 1) {
    if (!r.Word(m.packet_id)) return "PUBLISH: packet id runs past the packet";
    if (m.packet_id == 0) return "PUBLISH: packet id 0";
  }
  m.payload = r.Rest();
  m.qos = qos;
  m.dup = dup;
  m.retain = p.header & 1;
  out = std::move(m);
  return nullptr;
}

Fault DecodePuback(const Packet& p, uint16_t& packet_id) {
  if (p.header != Header(PacketType::kPuback)) return "PUBACK: wrong fixed header";
  if (p.body.size() != 2) return "PUBACK: remaining length is not 2";
  BodyReader r(p.body);
  r.Word(packet_id);
  if (packet_id == 0) return "PUBACK: packet id 0";
  return nullptr;
}

Fault DecodeSuback(const Packet& p, Suback& out) {
  if (p.header != Header(PacketType::kSuback)) return "SUBACK: wrong fixed header";
  BodyReader r(p.body);
  Suback s;
  if (!r.Word(s.packet_id)) return "SUBACK: packet id runs past the packet";
  if (s.packet_id == 0) return "SUBACK: packet id 0";
  if (r.left() == 0) return "SUBACK: no return codes";
  s.return_codes.assign(p.body.begin() + static_cast<std::ptrdiff_t>(r.at()), p.body.end());
  for (uint8_t code : s.return_codes)
    if (code > 2 && code != 0x80) return "SUBACK: unknown return code";
  out = std::move(s);
  return nullptr;
}

Fault DecodePingresp(const Packet& p) {
  if (p.header != Header(PacketType::kPingresp)) return "PINGRESP: wrong fixed header";
  if (!p.body.empty()) return "PINGRESP: remaining length is not 0";
  return nullptr;
}

const char* ConnackText(uint8_t code) {
  switch (code) {
    case 0: return "connection accepted";
    case 1: return "unacceptable protocol version";
    case 2: return "client identifier rejected";
    case 3: return "server unavailable";
    case 4: return "bad user name or password";
    case 5: return "not authorised";
    default: return "unknown return code";
  }
}

FrameReader::FrameReader(size_t max_packet_bytes) : max_packet_bytes_(max_packet_bytes) {}

void FrameReader::Feed(const uint8_t* data, size_t size) {
  if (fault_ || size == 0) return;
  // Drop what was taken before the buffer grows, so it never holds more than one partial packet
  // and the bytes of one feed.
  if (start_ > 0) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
    start_ = 0;
  }
  buffer_.insert(buffer_.end(), data, data + size);
}

FrameReader::Status FrameReader::Next(Packet& packet) {
  if (fault_) return Status::kMalformed;
  const size_t available = buffer_.size() - start_;
  if (available < 2) return Status::kNeedMore;
  const uint8_t* p = buffer_.data() + start_;
  uint32_t length = 0;
  size_t length_bytes = 0;
  for (uint32_t scale = 1;; scale *= 128) {
    if (length_bytes == 4) {
      fault_ = "remaining length longer than four bytes";
      return Status::kMalformed;
    }
    if (1 + length_bytes >= available) return Status::kNeedMore;
    const uint8_t digit = p[1 + length_bytes++];
    length += (digit & 0x7F) * scale;
    if (!(digit & 0x80)) break;
  }
  const size_t whole = 1 + length_bytes + length;
  if (whole > max_packet_bytes_) {
    fault_ = "packet larger than the bound";
    return Status::kMalformed;
  }
  if (available < whole) {
    buffer_.reserve(start_ + whole);  // one allocation for a large packet arriving in pieces
    return Status::kNeedMore;
  }
  packet.header = p[0];
  packet.body.assign(p + 1 + length_bytes, p + whole);
  start_ += whole;
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  }
  return Status::kPacket;
}

}  // namespace mqtt
