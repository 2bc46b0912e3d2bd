// Feeds arbitrary bytes to what reads the broker's data: with the first byte even, as a stream
// through the frame reader and the packet decoders; odd, as an envelope. Nothing may crash, and
// whatever is accepted must be written back to the very same bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mqtt_packet.h"
#include "relay_envelope.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Any accepted PUBLISH encodes back to its own header and body.
void CheckPublish(const mqtt::Packet& packet) {
  mqtt::Message m;
  if (mqtt::DecodePublish(packet, m)) return;
  std::optional<mqtt::Bytes> again = mqtt::EncodePublish(m);
  Check(again.has_value());
  mqtt::FrameReader reader;
  reader.Feed(again->data(), again->size());
  mqtt::Packet reread;
  Check(reader.Next(reread) == mqtt::FrameReader::Status::kPacket);
  Check(reread.header == packet.header && reread.body == packet.body);
}

void Stream(const uint8_t* data, size_t size) {
  // Small bound and pieces of a size the input chooses, so that oversize and split packets occur.
  const size_t piece = size > 0 ? data[0] % 17 + 1 : 1;
  mqtt::FrameReader reader(4096);
  mqtt::Packet packet;
  for (size_t at = 0; at < size; at += piece) {
    reader.Feed(data + at, std::min(piece, size - at));
    while (reader.Next(packet) == mqtt::FrameReader::Status::kPacket) {
      Check(packet.body.size() + 2 <= 4096);
      mqtt::Connack connack;
      mqtt::Suback suback;
      uint16_t id;
      mqtt::DecodeConnack(packet, connack);
      mqtt::DecodeSuback(packet, suback);
      if (!mqtt::DecodePuback(packet, id)) Check(id != 0);
      mqtt::DecodePingresp(packet);
      CheckPublish(packet);
    }
    if (reader.fault()) return;
  }
}

// A MAC the input can forge (all zero), so that the fuzzer gets past it to the later checks.
bool ZeroMac(std::string_view, Mac& mac) {
  mac.fill(0);
  return true;
}

void Envelopes(std::string_view payload) {
  Envelope e;
  if (OpenEnvelope(payload, "c", "1", ZeroMac, e) != EnvelopeVerdict::kOpened) return;
  Check(e.channel == "c" && e.login == "1");
  Check(SealEnvelope(e, ZeroMac) == payload);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1)
    Envelopes(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  else
    Stream(data + 1, size - 1);
  return 0;
}
