#include "mqtt_packet.h"

#include <gtest/gtest.h>

#include <functional>

namespace mqtt {

// gtest prints these on failure.
void PrintTo(const Message& m, std::ostream* os) {
  *os << "{" << m.topic << ", " << m.payload.size() << " bytes, qos " << int(m.qos) << ", retain "
      << m.retain << ", dup " << m.dup << ", id " << m.packet_id << "}";
}
bool operator==(const Message& a, const Message& b) {
  return a.topic == b.topic && a.payload == b.payload && a.qos == b.qos && a.retain == b.retain &&
         a.dup == b.dup && a.packet_id == b.packet_id;
}

namespace {

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The one packet `bytes` hold, through the frame reader.
Packet Frame(const Bytes& bytes) {
  FrameReader reader;
  reader.Feed(bytes.data(), bytes.size());
  Packet packet;
  EXPECT_EQ(reader.Next(packet), FrameReader::Status::kPacket) << (reader.fault() ? reader.fault() : "");
  EXPECT_EQ(reader.Next(packet), FrameReader::Status::kNeedMore) << "bytes left over";
  return packet;
}

struct LengthCase {
  uint32_t length;
  Bytes encoded;
};

class RemainingLength : public testing::TestWithParam<LengthCase> {};

// The edges of each byte count, from the standard's table.
TEST_P(RemainingLength, EncodesAndFrames) {
  Bytes out;
  AppendRemainingLength(out, GetParam().length);
  EXPECT_EQ(out, GetParam().encoded);

  // A PUBLISH-type header with that length frames into a body of exactly that size.
  if (GetParam().length > 3'000'000) return;  // the largest edges are checked by the encoding alone
  Bytes packet = Cat({0x30}, GetParam().encoded);
  packet.resize(packet.size() + GetParam().length, 'x');
  EXPECT_EQ(Frame(packet).body.size(), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(RelayEdges, RemainingLength, testing::Values(
    LengthCase{0, {0x00}}, LengthCase{127, {0x7F}}, LengthCase{128, {0x80, 0x01}},
    LengthCase{16383, {0xFF, 0x7F}}, LengthCase{16384, {0x80, 0x80, 0x01}},
    LengthCase{2097151, {0xFF, 0xFF, 0x7F}}, LengthCase{2097152, {0x80, 0x80, 0x80, 0x01}},
    LengthCase{kMaxRemainingLength, {0xFF, 0xFF, 0xFF, 0x7F}}));

struct EncodeCase {
  const char* name;
  std::function<std::optional<Bytes>()> encode;
  std::optional<Bytes> expected;  // nullopt: the encoder must refuse
};
void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }

class Encoder : public testing::TestWithParam<EncodeCase> {};

TEST_P(Encoder, WritesTheStandardsBytes) { EXPECT_EQ(GetParam().encode(), GetParam().expected); }

const Bytes kConnectHead = {0x00, 0x04, 'M', 'Q', 'T', 'T', 0x04};
const Subscription kOneFilter[] = {{"a/+", 1}};
const Subscription kTwoFilters[] = {{"q/#", 0}, {"a/b", 2}};

INSTANTIATE_TEST_SUITE_P(RelayPackets, Encoder, testing::Values(
    EncodeCase{"connect, clean, no user",
               [] { return EncodeConnect({"abc", 60, true, {}, {}}); },
               Cat(Cat({0x10, 0x0F}, kConnectHead), {0x02, 0x00, 0x3C, 0x00, 0x03, 'a', 'b', 'c'})},
    EncodeCase{"connect with user and password",
               [] { return EncodeConnect({"abc", 300, true, "u", "pw"}); },
               Cat(Cat({0x10, 0x16}, kConnectHead),
                   {0xC2, 0x01, 0x2C, 0x00, 0x03, 'a', 'b', 'c', 0, 1, 'u', 0, 2, 'p', 'w'})},
    EncodeCase{"connect with user only",
               [] { return EncodeConnect({"", 0, false, "u", {}}); },
               Cat(Cat({0x10, 0x0F}, kConnectHead), {0x80, 0x00, 0x00, 0x00, 0x00, 0, 1, 'u'})},
    EncodeCase{"a password without a user is not sent",
               [] { return EncodeConnect({"c", 10, true, {}, "pw"}); },
               Cat(Cat({0x10, 0x0D}, kConnectHead), {0x02, 0x00, 0x0A, 0x00, 0x01, 'c'})},
    EncodeCase{"connect with a client id too long",
               [] { return EncodeConnect({std::string(65536, 'c'), 10, true, {}, {}}); }, std::nullopt},
    EncodeCase{"publish qos 0",
               [] { return EncodePublish({"a/b", "hi", 0, false, false, 0}); },
               Bytes{0x30, 0x07, 0x00, 0x03, 'a', '/', 'b', 'h', 'i'}},
    EncodeCase{"publish qos 1 retained",
               [] { return EncodePublish({"a/b", "hi", 1, true, false, 10}); },
               Bytes{0x33, 0x09, 0x00, 0x03, 'a', '/', 'b', 0x00, 0x0A, 'h', 'i'}},
    EncodeCase{"publish qos 1 duplicate, empty payload",
               [] { return EncodePublish({"t", "", 1, false, true, 0x1234}); },
               Bytes{0x3A, 0x05, 0x00, 0x01, 't', 0x12, 0x34}},
    EncodeCase{"empty retained message",
               [] { return EncodePublish({"t", "", 0, true, false, 0}); },
               Bytes{0x31, 0x03, 0x00, 0x01, 't'}},
    EncodeCase{"publish qos 1 without packet id",
               [] { return EncodePublish({"t", "x", 1, false, false, 0}); }, std::nullopt},
    EncodeCase{"publish qos 2", [] { return EncodePublish({"t", "x", 2, false, false, 1}); }, std::nullopt},
    EncodeCase{"publish topic too long",
               [] { return EncodePublish({std::string(65536, 't'), "", 0, false, false, 0}); }, std::nullopt},
    EncodeCase{"subscribe one filter", [] { return EncodeSubscribe(1, kOneFilter); },
               Bytes{0x82, 0x08, 0x00, 0x01, 0x00, 0x03, 'a', '/', '+', 0x01}},
    EncodeCase{"subscribe two filters", [] { return EncodeSubscribe(0x0102, kTwoFilters); },
               Bytes{0x82, 0x0E, 0x01, 0x02, 0, 3, 'q', '/', '#', 0, 0, 3, 'a', '/', 'b', 2}},
    EncodeCase{"subscribe nothing", [] { return EncodeSubscribe(1, {}); }, std::nullopt},
    EncodeCase{"subscribe with packet id 0", [] { return EncodeSubscribe(0, kOneFilter); }, std::nullopt},
    EncodeCase{"puback", [] { return std::optional(EncodePuback(0xBEEF)); }, Bytes{0x40, 0x02, 0xBE, 0xEF}},
    EncodeCase{"pingreq", [] { return std::optional(EncodePingreq()); }, Bytes{0xC0, 0x00}},
    EncodeCase{"disconnect", [] { return std::optional(EncodeDisconnect()); }, Bytes{0xE0, 0x00}}));

struct PublishCase {
  const char* name;
  Bytes bytes;
  std::optional<Message> expected;  // nullopt: malformed
};
void PrintTo(const PublishCase& c, std::ostream* os) { *os << c.name; }

class PublishDecoder : public testing::TestWithParam<PublishCase> {};

TEST_P(PublishDecoder, ReadsOrRefuses) {
  Message m;
  Fault fault = DecodePublish(Frame(GetParam().bytes), m);
  if (GetParam().expected) {
    EXPECT_EQ(fault, nullptr) << fault;
    EXPECT_EQ(m, *GetParam().expected);
  } else {
    EXPECT_NE(fault, nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(RelayWire, PublishDecoder, testing::Values(
    PublishCase{"qos 0", {0x30, 0x07, 0, 3, 'a', '/', 'b', 'h', 'i'}, Message{"a/b", "hi", 0, false, false, 0}},
    PublishCase{"qos 1 retained", {0x33, 0x09, 0, 3, 'a', '/', 'b', 0, 10, 'h', 'i'},
                Message{"a/b", "hi", 1, true, false, 10}},
    PublishCase{"qos 1 dup", {0x3A, 0x05, 0, 1, 't', 0xFF, 0xFF}, Message{"t", "", 1, false, true, 0xFFFF}},
    PublishCase{"empty retained", {0x31, 0x03, 0, 1, 't'}, Message{"t", "", 0, true, false, 0}},
    PublishCase{"payload with zero bytes", {0x30, 0x05, 0, 1, 't', 0, 0},
                Message{"t", std::string(2, '\0'), 0, false, false, 0}},
    PublishCase{"qos 3", {0x36, 0x03, 0, 1, 't'}, std::nullopt},
    PublishCase{"qos 2", {0x34, 0x05, 0, 1, 't', 0, 1}, std::nullopt},
    PublishCase{"dup on qos 0", {0x38, 0x03, 0, 1, 't'}, std::nullopt},
    PublishCase{"no topic length", {0x30, 0x01, 0}, std::nullopt},
    PublishCase{"topic past the end", {0x30, 0x03, 0, 5, 't'}, std::nullopt},
    PublishCase{"empty topic", {0x30, 0x02, 0, 0}, std::nullopt},
    PublishCase{"wildcard in topic", {0x30, 0x05, 0, 3, 'a', '/', '+'}, std::nullopt},
    PublishCase{"zero byte in topic", {0x30, 0x04, 0, 2, 'a', 0}, std::nullopt},
    PublishCase{"qos 1 without packet id", {0x32, 0x04, 0, 1, 't', 0}, std::nullopt},
    PublishCase{"qos 1 packet id 0", {0x32, 0x05, 0, 1, 't', 0, 0}, std::nullopt}));

struct RefusalCase {
  const char* name;
  Bytes bytes;
  std::function<Fault(const Packet&)> decode;
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

Fault Connack(const Packet& p) { mqtt::Connack c; return DecodeConnack(p, c); }
Fault Puback(const Packet& p) { uint16_t id; return DecodePuback(p, id); }
Fault Suback(const Packet& p) { mqtt::Suback s; return DecodeSuback(p, s); }

class Malformed : public testing::TestWithParam<RefusalCase> {};

TEST_P(Malformed, IsAFaultWithAText) {
  Fault fault = GetParam().decode(Frame(GetParam().bytes));
  ASSERT_NE(fault, nullptr);
  EXPECT_GT(std::string_view(fault).size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(RelayAcknowledgements, Malformed, testing::Values(
    RefusalCase{"connack too short", {0x20, 0x01, 0x00}, Connack},
    RefusalCase{"connack too long", {0x20, 0x03, 0, 0, 0}, Connack},
    RefusalCase{"connack with flags in its header", {0x21, 0x02, 0, 0}, Connack},
    RefusalCase{"connack reserved flags", {0x20, 0x02, 0x02, 0}, Connack},
    RefusalCase{"connack that is a puback", {0x40, 0x02, 0, 1}, Connack},
    RefusalCase{"puback short", {0x40, 0x01, 0}, Puback},
    RefusalCase{"puback id 0", {0x40, 0x02, 0, 0}, Puback},
    RefusalCase{"puback with flags", {0x42, 0x02, 0, 1}, Puback},
    RefusalCase{"suback without codes", {0x90, 0x02, 0, 1}, Suback},
    RefusalCase{"suback without id", {0x90, 0x01, 0}, Suback},
    RefusalCase{"suback id 0", {0x90, 0x03, 0, 0, 0}, Suback},
    RefusalCase{"suback unknown code", {0x90, 0x03, 0, 1, 0x03}, Suback},
    RefusalCase{"pingresp with a body", {0xD0, 0x01, 0}, DecodePingresp},
    RefusalCase{"pingresp with flags", {0xD1, 0x00}, DecodePingresp}));

TEST(RelayAcknowledgement, SoundOnesAreRead) {
  mqtt::Connack connack;
  ASSERT_EQ(DecodeConnack(Frame({0x20, 0x02, 0x01, 0x05}), connack), nullptr);
  EXPECT_TRUE(connack.session_present);
  EXPECT_EQ(connack.return_code, 5);
  uint16_t id = 0;
  ASSERT_EQ(DecodePuback(Frame({0x40, 0x02, 0x12, 0x34}), id), nullptr);
  EXPECT_EQ(id, 0x1234);
  mqtt::Suback suback;
  ASSERT_EQ(DecodeSuback(Frame({0x90, 0x05, 0x00, 0x07, 0x00, 0x01, 0x80}), suback), nullptr);
  EXPECT_EQ(suback.packet_id, 7);
  EXPECT_EQ(suback.return_codes, (std::vector<uint8_t>{0, 1, 0x80}));
  EXPECT_EQ(DecodePingresp(Frame({0xD0, 0x00})), nullptr);
}

// A stream of packets cut into pieces of every size yields the same packets.
class SplitStream : public testing::TestWithParam<size_t> {};

TEST_P(SplitStream, YieldsWholePackets) {
  const Message big{"x/y", std::string(20000, 'p'), 1, true, false, 3};
  const Bytes stream = Cat(Cat(Cat(*EncodePublish(big), {0xD0, 0x00}), {0x20, 0x02, 0, 0}),
                           *EncodePublish({"t", "", 0, true, false, 0}));
  FrameReader reader;
  std::vector<Packet> packets;
  for (size_t at = 0; at < stream.size(); at += GetParam()) {
    reader.Feed(stream.data() + at, std::min(GetParam(), stream.size() - at));
    Packet p;
    while (reader.Next(p) == FrameReader::Status::kPacket) packets.push_back(p);
  }
  ASSERT_EQ(packets.size(), 4u);
  Message read;
  ASSERT_EQ(DecodePublish(packets[0], read), nullptr);
  EXPECT_EQ(read, big);
  EXPECT_EQ(packets[1].type(), PacketType::kPingresp);
  EXPECT_EQ(packets[2].type(), PacketType::kConnack);
  ASSERT_EQ(DecodePublish(packets[3], read), nullptr);
  EXPECT_TRUE(read.retain);
  EXPECT_TRUE(read.payload.empty());
}

INSTANTIATE_TEST_SUITE_P(RelayPieceSizes, SplitStream, testing::Values(1, 2, 3, 127, 128, 4096, 100000));

struct StreamFaultCase {
  const char* name;
  size_t bound;
  Bytes bytes;
};
void PrintTo(const StreamFaultCase& c, std::ostream* os) { *os << c.name; }

class StreamFault : public testing::TestWithParam<StreamFaultCase> {};

TEST_P(StreamFault, StopsTheReaderForGood) {
  FrameReader reader(GetParam().bound);
  reader.Feed(GetParam().bytes.data(), GetParam().bytes.size());
  Packet p;
  EXPECT_EQ(reader.Next(p), FrameReader::Status::kMalformed);
  ASSERT_NE(reader.fault(), nullptr);
  const Bytes ping = {0xD0, 0x00};
  reader.Feed(ping.data(), ping.size());
  EXPECT_EQ(reader.Next(p), FrameReader::Status::kMalformed);
}

INSTANTIATE_TEST_SUITE_P(RelayLengths, StreamFault, testing::Values(
    StreamFaultCase{"five length bytes", kMaxPacketBytes, {0x30, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
    StreamFaultCase{"five length bytes, fifth not yet come", kMaxPacketBytes, {0x30, 0x80, 0x80, 0x80, 0x80}},
    StreamFaultCase{"beyond the bound by one", 10, {0x30, 0x09, 0, 1, 't'}},
    StreamFaultCase{"largest length against the default bound", kMaxPacketBytes, {0x30, 0xFF, 0xFF, 0xFF, 0x7F}}));

TEST(RelayFrameReader, TakesAPacketOfExactlyTheBound) {
  FrameReader reader(10);
  const Bytes packet = {0x30, 0x08, 0, 1, 't', '1', '2', '3', '4', '5'};
  reader.Feed(packet.data(), packet.size());
  Packet p;
  EXPECT_EQ(reader.Next(p), FrameReader::Status::kPacket);
}

TEST(RelayFrameReader, WaitsForTheLengthsLastByte) {
  FrameReader reader;
  Packet p;
  const Bytes head = {0x30, 0x80};
  reader.Feed(head.data(), head.size());
  EXPECT_EQ(reader.Next(p), FrameReader::Status::kNeedMore);
  Bytes rest = {0x01, 0, 1, 't'};
  rest.resize(1 + 128, 'z');
  reader.Feed(rest.data(), rest.size());
  ASSERT_EQ(reader.Next(p), FrameReader::Status::kPacket);
  EXPECT_EQ(p.body.size(), 128u);
}

}  // namespace
}  // namespace mqtt
