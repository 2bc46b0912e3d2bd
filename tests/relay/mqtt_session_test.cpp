#include "mqtt_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>

namespace {

using mqtt::Bytes;

// A broker's side written out in advance: each answer comes once the client has sent a given
// number of packets; a Receive with nothing to give waits its whole time-out on the test's clock.
class ScriptedTransport : public ByteTransport {
public:
  struct Answer {
    size_t after_sends;  // delivered once this many packets were sent
    Bytes bytes;         // empty: the connection closes
  };

  explicit ScriptedTransport(std::vector<Answer> script) : script_(script.begin(), script.end()) {}

  bool Send(const uint8_t* data, size_t size) override {
    if (fail_sends) return false;
    sent.emplace_back(data, data + size);
    return true;
  }

  int Receive(uint8_t* buffer, size_t capacity, int timeout_ms) override {
    if (closed_) return -1;
    if (woken_) {
      woken_ = false;
      return 0;
    }
    if (script_.empty() || script_.front().after_sends > sent.size()) {
      now_ms += timeout_ms;
      return 0;
    }
    Answer& next = script_.front();
    if (next.bytes.empty()) {
      closed_ = true;
      return -1;
    }
    const size_t n = std::min(capacity, next.bytes.size());
    std::memcpy(buffer, next.bytes.data(), n);
    next.bytes.erase(next.bytes.begin(), next.bytes.begin() + static_cast<std::ptrdiff_t>(n));
    if (next.bytes.empty()) script_.pop_front();
    return static_cast<int>(n);
  }

  void Wake() override { woken_ = true; }

  int64_t now_ms = 1000;
  bool fail_sends = false;
  std::vector<Bytes> sent;

private:
  std::deque<Answer> script_;
  bool closed_ = false;
  bool woken_ = false;
};

const Bytes kConnackAccepted = {0x20, 0x02, 0x00, 0x00};
const Bytes kPingresp = {0xD0, 0x00};
const Bytes kPingreq = {0xC0, 0x00};
constexpr uint16_t kKeepAliveS = 10;
const mqtt::ConnectOptions kOptions{"relay-1", kKeepAliveS, true, "u", "p"};
const mqtt::Subscription kFilter[] = {{"qelv/desk/+", 1}};

Bytes Publish(const mqtt::Message& m) { return *mqtt::EncodePublish(m); }

struct Harness {
  ScriptedTransport transport;
  std::vector<mqtt::Message> delivered;
  MqttSession session;

  explicit Harness(std::vector<ScriptedTransport::Answer> script)
      : transport(std::move(script)),
        session(transport, [this] { return transport.now_ms; },
                [this](const mqtt::Message& m) { delivered.push_back(m); }) {}
};

struct Scenario {
  const char* name;
  std::vector<ScriptedTransport::Answer> script;
  std::function<SessionOutcome(Harness&)> act;
  SessionOutcome::Status status;
  std::vector<Bytes> sent;  // every packet the client sent, in order
  std::vector<std::string> delivered_payloads = {};
  const char* text_part = "";  // found in the outcome's text
};
void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

// Connects, then runs `then` if the connection was accepted.
std::function<SessionOutcome(Harness&)> Connected(std::function<SessionOutcome(Harness&)> then) {
  return [then](Harness& r) {
    SessionOutcome connected = r.session.Connect(kOptions, 5000);
    return connected.ok() ? then(r) : connected;
  };
}

const Bytes kConnect = *mqtt::EncodeConnect(kOptions);
const Bytes kSubscribe = *mqtt::EncodeSubscribe(1, kFilter);
const mqtt::Message kIncoming{"qelv/desk/4711", "envelope", 1, true, false, 77};

class Session : public testing::TestWithParam<Scenario> {};

TEST_P(Session, FollowsTheBroker) {
  const Scenario& s = GetParam();
  Harness run(s.script);
  SessionOutcome outcome = s.act(run);
  EXPECT_EQ(outcome.status, s.status) << outcome.text;
  EXPECT_NE(outcome.text.find(s.text_part), std::string::npos) << outcome.text;
  EXPECT_EQ(run.transport.sent, s.sent);
  std::vector<std::string> payloads;
  for (const mqtt::Message& m : run.delivered) payloads.push_back(m.payload);
  EXPECT_EQ(payloads, s.delivered_payloads);
}

INSTANTIATE_TEST_SUITE_P(RelayScripts, Session, testing::Values(
    Scenario{"connect accepted", {{1, kConnackAccepted}},
             [](Harness& r) { return r.session.Connect(kOptions, 5000); },
             SessionOutcome::kOk, {kConnect}},
    Scenario{"connect refused",
             {{1, {0x20, 0x02, 0x00, 0x04}}},
             [](Harness& r) {
               SessionOutcome o = r.session.Connect(kOptions, 5000);
               EXPECT_TRUE(r.session.broken());
               return o;
             },
             SessionOutcome::kRefused, {kConnect}, {}, "bad user name or password (4)"},
    Scenario{"connect unanswered", {},
             [](Harness& r) {
               SessionOutcome o = r.session.Connect(kOptions, 5000);
               EXPECT_EQ(r.transport.now_ms, 1000 + 5000);
               return o;
             },
             SessionOutcome::kTimedOut, {kConnect}, {}, "no CONNACK within 5000 ms"},
    Scenario{"connection closed before connack", {{1, {}}},
             [](Harness& r) { return r.session.Connect(kOptions, 5000); },
             SessionOutcome::kBroken, {kConnect}, {}, "closed"},
    Scenario{"packet before connack", {{1, kPingresp}},
             [](Harness& r) { return r.session.Connect(kOptions, 5000); },
             SessionOutcome::kBroken, {kConnect}, {}, "before CONNACK"},
    Scenario{"connack twice", {{1, kConnackAccepted}, {1, kConnackAccepted}},
             Connected([](Harness& r) { return r.session.Poll(100); }),
             SessionOutcome::kBroken, {kConnect}, {}, "CONNACK out of turn"},
    Scenario{"subscribe granted", {{1, kConnackAccepted}, {2, {0x90, 0x03, 0x00, 0x01, 0x01}}},
             Connected([](Harness& r) { return r.session.Subscribe(kFilter, 5000); }),
             SessionOutcome::kOk, {kConnect, kSubscribe}},
    Scenario{"subscribe refused", {{1, kConnackAccepted}, {2, {0x90, 0x03, 0x00, 0x01, 0x80}}},
             Connected([](Harness& r) { return r.session.Subscribe(kFilter, 5000); }),
             SessionOutcome::kRefused, {kConnect, kSubscribe}, {}, "qelv/desk/+"},
    Scenario{"suback of another packet id", {{1, kConnackAccepted}, {2, {0x90, 0x03, 0x00, 0x09, 0x01}}},
             Connected([](Harness& r) { return r.session.Subscribe(kFilter, 5000); }),
             SessionOutcome::kTimedOut, {kConnect, kSubscribe}, {}, "SUBACK"},
    Scenario{"suback with two codes for one filter",
             {{1, kConnackAccepted}, {2, {0x90, 0x04, 0x00, 0x01, 0x01, 0x01}}},
             Connected([](Harness& r) { return r.session.Subscribe(kFilter, 5000); }),
             SessionOutcome::kBroken, {kConnect, kSubscribe}},
    Scenario{"retained message before suback is delivered and acknowledged",
             {{1, kConnackAccepted}, {2, Publish(kIncoming)}, {3, {0x90, 0x03, 0x00, 0x01, 0x01}}},
             Connected([](Harness& r) { return r.session.Subscribe(kFilter, 5000); }),
             SessionOutcome::kOk, {kConnect, kSubscribe, mqtt::EncodePuback(77)}, {"envelope"}},
    Scenario{"publish acknowledged", {{1, kConnackAccepted}, {2, {0x40, 0x02, 0x00, 0x01}}},
             Connected([](Harness& r) { return r.session.Publish("qelv/desk/1", "x", 1, true, 5000); }),
             SessionOutcome::kOk, {kConnect, Publish({"qelv/desk/1", "x", 1, true, false, 1})}},
    Scenario{"puback missing", {{1, kConnackAccepted}},
             Connected([](Harness& r) { return r.session.Publish("qelv/desk/1", "x", 1, true, 5000); }),
             SessionOutcome::kTimedOut, {kConnect, Publish({"qelv/desk/1", "x", 1, true, false, 1})}, {},
             "no PUBACK within 5000 ms"},
    Scenario{"late puback of an earlier publish is no answer",
             {{1, kConnackAccepted}, {3, {0x40, 0x02, 0x00, 0x01}}},
             Connected([](Harness& r) {
               r.session.Publish("t/c/1", "a", 1, true, 100);
               return r.session.Publish("t/c/1", "b", 1, true, 100);
             }),
             SessionOutcome::kTimedOut,
             {kConnect, Publish({"t/c/1", "a", 1, true, false, 1}), Publish({"t/c/1", "b", 1, true, false, 2})}},
    Scenario{"publish qos 0 waits for nothing", {{1, kConnackAccepted}},
             Connected([](Harness& r) { return r.session.Publish("t/c/1", "", 0, true, 5000); }),
             SessionOutcome::kOk, {kConnect, Publish({"t/c/1", "", 0, true, false, 0})}},
    Scenario{"incoming qos 1 acknowledged", {{1, kConnackAccepted}, {1, Publish(kIncoming)}},
             Connected([](Harness& r) { return r.session.Poll(1000); }),
             SessionOutcome::kOk, {kConnect, mqtt::EncodePuback(77)}, {"envelope"}},
    Scenario{"incoming qos 0 not acknowledged",
             {{1, kConnackAccepted}, {1, Publish({"a/b/c", "zero", 0, false, false, 0})}},
             Connected([](Harness& r) { return r.session.Poll(1000); }),
             SessionOutcome::kOk, {kConnect}, {"zero"}},
    Scenario{"two publishes in one read both delivered",
             {{1, kConnackAccepted},
              {1, [] {
                 Bytes b = Publish({"a/b/c", "one", 0, false, false, 0});
                 Bytes c = Publish({"a/b/c", "two", 1, false, false, 5});
                 b.insert(b.end(), c.begin(), c.end());
                 return b;
               }()}},
             Connected([](Harness& r) { return r.session.Poll(1000); }),
             SessionOutcome::kOk, {kConnect, mqtt::EncodePuback(5)}, {"one", "two"}},
    Scenario{"ping when due, answered", {{1, kConnackAccepted}, {2, kPingresp}},
             Connected([](Harness& r) {
               SessionOutcome o = r.session.Poll(25'000);  // the PINGRESP ends it early
               EXPECT_EQ(r.transport.now_ms, 1000 + kKeepAliveS * 1000);
               if (o.ok()) o = r.session.Poll(5'000);  // nothing due yet: no second ping
               return o;
             }),
             SessionOutcome::kOk, {kConnect, kPingreq}},
    Scenario{"no ping while the client keeps sending", {{1, kConnackAccepted}},
             Connected([](Harness& r) {
               r.session.Poll(8'000);
               r.session.Publish("a/b/c", "x", 0, false, 100);
               return r.session.Poll(8'000);
             }),
             SessionOutcome::kOk, {kConnect, Publish({"a/b/c", "x", 0, false, false, 0})}},
    Scenario{"ping unanswered breaks", {{1, kConnackAccepted}},
             Connected([](Harness& r) { return r.session.Poll(60'000); }),
             SessionOutcome::kBroken, {kConnect, kPingreq}, {}, "PINGRESP"},
    Scenario{"transport closes while polling", {{1, kConnackAccepted}, {1, {}}},
             Connected([](Harness& r) {
               SessionOutcome o = r.session.Poll(1000);
               EXPECT_EQ(r.session.Poll(1000).status, SessionOutcome::kBroken);  // and stays broken
               return o;
             }),
             SessionOutcome::kBroken, {kConnect}},
    Scenario{"send fails", {{1, kConnackAccepted}},
             Connected([](Harness& r) {
               r.transport.fail_sends = true;
               return r.session.Publish("a/b/c", "x", 1, true, 100);
             }),
             SessionOutcome::kBroken, {kConnect}, {}, "sending"},
    Scenario{"malformed stream", {{1, kConnackAccepted}, {1, {0x30, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}}},
             Connected([](Harness& r) { return r.session.Poll(1000); }),
             SessionOutcome::kBroken, {kConnect}, {}, "malformed"},
    Scenario{"malformed publish", {{1, kConnackAccepted}, {1, {0x36, 0x03, 0x00, 0x01, 't'}}},
             Connected([](Harness& r) { return r.session.Poll(1000); }),
             SessionOutcome::kBroken, {kConnect}, {}, "QoS 3"},
    Scenario{"packet a broker never sends", {{1, kConnackAccepted}, {1, {0x82, 0x00}}},
             Connected([](Harness& r) { return r.session.Poll(1000); }),
             SessionOutcome::kBroken, {kConnect}, {}, "unexpected packet type 8"},
    Scenario{"disconnect", {{1, kConnackAccepted}},
             Connected([](Harness& r) {
               r.session.Disconnect();
               return r.session.Publish("a/b/c", "x", 0, false, 100);
             }),
             SessionOutcome::kBroken, {kConnect, mqtt::EncodeDisconnect()}}));

TEST(RelaySession, PacketIdsSkipZero) {
  std::vector<ScriptedTransport::Answer> script = {{1, kConnackAccepted}};
  Harness run(script);
  ASSERT_TRUE(run.session.Connect(kOptions, 100).ok());
  for (int i = 0; i < 65536; i++) run.session.Publish("a/b/c", "", 1, false, 0);
  // Ids 1..65535, then 1 again: never 0.
  mqtt::Packet packet;
  mqtt::FrameReader reader;
  const Bytes& last = run.transport.sent.back();
  reader.Feed(last.data(), last.size());
  ASSERT_EQ(reader.Next(packet), mqtt::FrameReader::Status::kPacket);
  mqtt::Message m;
  ASSERT_EQ(mqtt::DecodePublish(packet, m), nullptr);
  EXPECT_EQ(m.packet_id, 1);
}

TEST(RelaySession, AWakeEndsAPollAtOnceAndOnlyThatPoll) {
  Harness run({{1, kConnackAccepted}});
  ASSERT_TRUE(run.session.Connect(kOptions, 100).ok());
  const int64_t before = run.transport.now_ms;
  run.transport.Wake();
  EXPECT_TRUE(run.session.Poll(1000).ok());
  EXPECT_EQ(run.transport.now_ms, before);
  EXPECT_TRUE(run.session.Poll(1000).ok());
  EXPECT_EQ(run.transport.now_ms, before + 1000);
}

TEST(RelaySession, LargeIncomingMessageArrivesWhole) {
  const mqtt::Message big{"qelv/desk/1", std::string(3 << 20, 'i'), 1, true, false, 9};
  std::vector<ScriptedTransport::Answer> script = {{1, kConnackAccepted}, {1, Publish(big)}};
  Harness run(script);
  ASSERT_TRUE(run.session.Connect(kOptions, 100).ok());
  for (int i = 0; i < 1000 && run.delivered.empty(); i++) ASSERT_TRUE(run.session.Poll(10).ok());
  ASSERT_EQ(run.delivered.size(), 1u);
  EXPECT_EQ(run.delivered[0].payload, big.payload);
}

}  // namespace
