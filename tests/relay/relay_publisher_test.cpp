// The publisher's plans, step by step against what the broker took: new, changed and gone
// masters, injected ones left alone, the logins list, everything again after a reconnect, and
// envelopes that a subscriber opens with rising sequence numbers.
#include <gtest/gtest.h>

#include "fake_mac.h"
#include "relay_publisher.h"
#include "relay_status.h"

namespace {

std::string Image(const std::string& login, int version) {
  return "<image>\n<login>" + login + "</login>\n<v>" + std::to_string(version) + "</v>\n</image>\n";
}

struct Step {
  const char* what;
  ImageMap current;
  std::set<std::string> injected;
  bool reconnect_before;
  std::vector<std::string> sent;     // logins with an image, in order
  std::vector<std::string> cleared;  // logins cleared, in order
};

RelaySettings Settings(std::vector<std::string> logins = {}) {
  RelaySettings s;
  s.remote_channel = "desk-a";
  s.topic_prefix = "qelv";
  s.logins = std::move(logins);
  return s;
}

void RunSteps(const RelaySettings& settings, const std::vector<Step>& steps) {
  Publisher publisher(settings, FakeMac("k"));
  int64_t now = 1000;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.reconnect_before) publisher.Reconnected();
    std::vector<std::string> refused;
    const auto messages = publisher.Plan(step.current, step.injected, now++, refused);
    EXPECT_TRUE(refused.empty());
    std::vector<std::string> sent, cleared;
    for (const OutgoingMessage& m : messages) {
      EXPECT_EQ(m.topic, "qelv/desk-a/" + m.login);
      (m.payload.empty() ? cleared : sent).push_back(m.login);
      publisher.Sent(m);
    }
    EXPECT_EQ(sent, step.sent);
    EXPECT_EQ(cleared, step.cleared);
  }
}

TEST(Publisher, SendsWhatChangedAndClearsWhatLeft) {
  const std::string a1 = Image("1", 1), a2 = Image("1", 2), b = Image("2", 1);
  RunSteps(Settings(), {
      {"nothing yet", {}, {}, false, {}, {}},
      {"a first master", {{"1", a1}}, {}, false, {"1"}, {}},
      {"the same set again", {{"1", a1}}, {}, false, {}, {}},
      {"a second master", {{"1", a1}, {"2", b}}, {}, false, {"2"}, {}},
      {"the first changed", {{"1", a2}, {"2", b}}, {}, false, {"1"}, {}},
      {"the second left", {{"1", a2}}, {}, false, {}, {"2"}},
      {"after a reconnect everything again", {{"1", a2}}, {}, true, {"1"}, {}},
      {"and then only changes", {{"1", a2}}, {}, false, {}, {}},
      {"left while disconnected", {}, {}, true, {}, {"1"}},
  });
}

TEST(Publisher, LeavesInjectedMastersAndOtherLoginsAlone) {
  const std::string a = Image("1", 1), b = Image("2", 1), c = Image("3", 1);
  RunSteps(Settings({"1", "3"}), {
      {"only listed logins", {{"1", a}, {"2", b}}, {}, false, {"1"}, {}},
      {"an injected master is not sent back", {{"1", a}, {"3", c}}, {"3"}, false, {}, {}},
      {"nor sent after a reconnect", {{"1", a}, {"3", c}}, {"3"}, true, {"1"}, {}},
  });
}

TEST(Publisher, SealsEnvelopesThatOpenWithRisingSequences) {
  const RelaySettings settings = Settings();
  Publisher publisher(settings, FakeMac("k"));
  uint64_t last_seq = 0;
  for (int version = 1; version <= 3; version++) {
    std::vector<std::string> refused;
    // The clock stands still: the sequence must rise all the same.
    const auto messages = publisher.Plan({{"7", Image("7", version)}}, {}, 5000, refused);
    ASSERT_EQ(messages.size(), 1u);
    Envelope opened;
    ASSERT_EQ(OpenEnvelope(messages[0].payload, "desk-a", "7", FakeMac("k"), opened),
              EnvelopeVerdict::kOpened);
    EXPECT_EQ(opened.image, Image("7", version));
    EXPECT_EQ(opened.time_ms, 5000);
    EXPECT_GT(opened.seq, last_seq);
    last_seq = opened.seq;
    EXPECT_EQ(OpenEnvelope(messages[0].payload, "desk-a", "7", FakeMac("other"), opened),
              EnvelopeVerdict::kBadMac);
    publisher.Sent(messages[0]);
  }
}

TEST(Publisher, SaysWhyAMasterCannotBeSentAndTriesItAgain) {
  const RelaySettings settings = Settings();
  bool mac_works = false;
  MacFunction mac = [&](std::string_view data, Mac& out) { return mac_works && FakeMac("k")(data, out); };
  Publisher publisher(settings, mac);
  const ImageMap current = {{"1", Image("1", 1)}, {"a/b", Image("a/b", 1)}};
  std::vector<std::string> refused;
  EXPECT_TRUE(publisher.Plan(current, {}, 1, refused).empty());
  ASSERT_EQ(refused.size(), 2u);
  EXPECT_NE(refused[0].find("a/b"), std::string::npos);
  EXPECT_NE(refused[1].find("1: "), std::string::npos);
  mac_works = true;
  refused.clear();
  const auto messages = publisher.Plan(current, {}, 2, refused);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].login, "1");
}

struct RowsCase {
  const char* what;
  RelayStatus status;
  std::vector<StatusRow> rows;
};

void PrintTo(const RowsCase& c, std::ostream* out) { *out << c.what; }

class StatusRowsOf : public testing::TestWithParam<RowsCase> {};

TEST_P(StatusRowsOf, ShowWhatTheRelayDoes) { EXPECT_EQ(StatusRows(GetParam().status), GetParam().rows); }

RelayStatus Stopped() {
  RelayStatus s;
  s.problem = "secret too short";
  return s;
}

RelayStatus Starting() {
  RelayStatus s;
  s.broker = "mqtt://127.0.0.1:1883";
  return s;
}

RelayStatus Working() {
  RelayStatus s;
  s.connected = true;
  s.broker = "b";
  s.masters_out = 2;
  s.masters_in = 3;
  s.last_image = "t1";
  s.last_rejected = "bad MAC";
  return s;
}

INSTANTIATE_TEST_SUITE_P(Cases, StatusRowsOf, testing::Values(
    RowsCase{"stopped", Stopped(), {{"Stopped", "secret too short"}}},
    RowsCase{"starting", Starting(),
             {{"Broker", "mqtt://127.0.0.1:1883"}, {"Connection", "not connected"},
              {"Masters out", "0"}, {"Masters in", "0"}, {"Last image", "none yet"},
              {"Last rejected", "none"}}},
    RowsCase{"working", Working(),
             {{"Broker", "b"}, {"Connection", "connected"}, {"Masters out", "2"},
              {"Masters in", "3"}, {"Last image", "t1"}, {"Last rejected", "bad MAC"}}}));

struct UrlCase {
  BrokerUrl url;
  const char* text;
};

void PrintTo(const UrlCase& c, std::ostream* out) { *out << c.text; }

class BrokerUrlTextOf : public testing::TestWithParam<UrlCase> {};

TEST_P(BrokerUrlTextOf, NamesSchemeHostPortAndPath) {
  EXPECT_EQ(BrokerUrlText(GetParam().url), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokerUrlTextOf, testing::Values(
    UrlCase{{BrokerUrl::kMqtt, "127.0.0.1", 1883, ""}, "mqtt://127.0.0.1:1883"},
    UrlCase{{BrokerUrl::kWs, "localhost", 80, "/mqtt"}, "ws://localhost:80/mqtt"},
    UrlCase{{BrokerUrl::kWss, "::1", 8884, "/a/b"}, "wss://[::1]:8884/a/b"}));

}  // namespace
