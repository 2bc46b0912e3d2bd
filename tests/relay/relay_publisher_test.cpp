// The publisher's plans, step by step against what the broker took: new, changed and gone
// masters, injected ones left alone, the logins list, everything again after a reconnect, every
// master sealed again within the reseal period, signed removals, and envelopes that a subscriber
// opens with sequence numbers rising above those of an earlier run.
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
  std::vector<std::string> cleared;  // logins removed and cleared, in order
};

RelaySettings Settings(std::vector<std::string> logins = {}) {
  RelaySettings s;
  s.remote_channel = "desk-a";
  s.topic_prefix = "qelv";
  s.logins = std::move(logins);
  return s;
}

void RunSteps(const RelaySettings& settings, const std::vector<Step>& steps) {
  ReplayGuard sealed;
  Publisher publisher(settings, FakeMac("k"), sealed);
  int64_t now = 1000;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.reconnect_before) publisher.Reconnected();
    std::vector<std::string> refused;
    const auto messages = publisher.Plan(step.current, step.injected, now++, refused);
    EXPECT_TRUE(refused.empty());
    std::vector<std::string> sent, cleared;
    for (size_t i = 0; i < messages.size(); i++) {
      const OutgoingMessage& m = messages[i];
      EXPECT_EQ(m.topic, "qelv/desk-a/" + m.login);
      switch (m.kind) {
        case OutgoingMessage::kImage:
        case OutgoingMessage::kResealed:
          sent.push_back(m.login);
          break;
        case OutgoingMessage::kRemoval:
          // Its clear right behind it, on the same topic.
          EXPECT_FALSE(m.payload.empty());
          ASSERT_LT(i + 1, messages.size());
          EXPECT_EQ(messages[i + 1].kind, OutgoingMessage::kClear);
          EXPECT_EQ(messages[i + 1].topic, m.topic);
          break;
        case OutgoingMessage::kClear:
          EXPECT_TRUE(m.payload.empty());
          cleared.push_back(m.login);
          break;
      }
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
  ReplayGuard sealed;
  Publisher publisher(settings, FakeMac("k"), sealed);
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
    EXPECT_EQ(sealed.Last("desk-a", "7"), opened.seq);
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
  ReplayGuard sealed;
  Publisher publisher(settings, mac, sealed);
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

// What a subscriber opens of the messages planned at `now`, each sent as soon as planned;
// `kinds` gets their kinds.
std::vector<Envelope> PlanAndSend(Publisher& publisher, const ImageMap& current, int64_t now,
                                  std::vector<OutgoingMessage::Kind>* kinds = nullptr) {
  std::vector<std::string> refused;
  std::vector<Envelope> opened;
  for (const OutgoingMessage& m : publisher.Plan(current, {}, now, refused)) {
    if (kinds) kinds->push_back(m.kind);
    if (m.kind != OutgoingMessage::kClear) {
      Envelope e;
      EXPECT_EQ(OpenEnvelope(m.payload, "desk-a", m.login, FakeMac("k"), e), EnvelopeVerdict::kOpened);
      opened.push_back(e);
    }
    publisher.Sent(m);
  }
  EXPECT_TRUE(refused.empty());
  return opened;
}

TEST(Publisher, SealsAnUnchangedMasterAgainOnceTheResealPeriodIsOver) {
  const RelaySettings settings = Settings();
  ReplayGuard sealed;
  Publisher publisher(settings, FakeMac("k"), sealed);
  const ImageMap current = {{"7", Image("7", 1)}};
  const int64_t kStart = 10'000'000;
  const std::vector<Envelope> first = PlanAndSend(publisher, current, kStart);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_TRUE(PlanAndSend(publisher, current, kStart + kResealPeriodMs - 1).empty());

  std::vector<OutgoingMessage::Kind> kinds;
  const std::vector<Envelope> again = PlanAndSend(publisher, current, kStart + kResealPeriodMs, &kinds);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(kinds, std::vector<OutgoingMessage::Kind>{OutgoingMessage::kResealed});
  EXPECT_EQ(again[0].image, first[0].image);
  EXPECT_EQ(again[0].time_ms, kStart + kResealPeriodMs);
  EXPECT_GT(again[0].seq, first[0].seq);

  // A clock set back an hour does not hold the next seal back for an hour.
  kinds.clear();
  EXPECT_EQ(PlanAndSend(publisher, current, kStart - 3'600'000, &kinds).size(), 1u);
  EXPECT_EQ(kinds, std::vector<OutgoingMessage::Kind>{OutgoingMessage::kResealed});
}

TEST(Publisher, SignsTheRemovalOfAMasterThatLeft) {
  const RelaySettings settings = Settings();
  ReplayGuard sealed;
  Publisher publisher(settings, FakeMac("k"), sealed);
  const std::vector<Envelope> image = PlanAndSend(publisher, {{"7", Image("7", 1)}}, 5000);
  ASSERT_EQ(image.size(), 1u);
  std::vector<OutgoingMessage::Kind> kinds;
  const std::vector<Envelope> removal = PlanAndSend(publisher, {}, 5000, &kinds);
  EXPECT_EQ(kinds, (std::vector<OutgoingMessage::Kind>{OutgoingMessage::kRemoval, OutgoingMessage::kClear}));
  ASSERT_EQ(removal.size(), 1u);
  EXPECT_TRUE(removal[0].removed);
  EXPECT_EQ(removal[0].time_ms, 5000);
  EXPECT_GT(removal[0].seq, image[0].seq);
  EXPECT_TRUE(publisher.published().empty());
  EXPECT_TRUE(PlanAndSend(publisher, {}, 5001).empty());
}

TEST(Publisher, ARemovalWhoseClearWasNotTakenIsSentAgain) {
  const RelaySettings settings = Settings();
  ReplayGuard sealed;
  Publisher publisher(settings, FakeMac("k"), sealed);
  PlanAndSend(publisher, {{"7", Image("7", 1)}}, 5000);
  std::vector<std::string> refused;
  const auto messages = publisher.Plan({}, {}, 5001, refused);
  ASSERT_EQ(messages.size(), 2u);
  publisher.Sent(messages[0]);  // the removal; the clear went unanswered
  publisher.Reconnected();
  std::vector<OutgoingMessage::Kind> kinds;
  PlanAndSend(publisher, {}, 5002, &kinds);
  EXPECT_EQ(kinds, (std::vector<OutgoingMessage::Kind>{OutgoingMessage::kRemoval, OutgoingMessage::kClear}));
}

TEST(Publisher, SealsAboveTheSequencesOfAnEarlierRunWhenItsClockWentBack) {
  const RelaySettings settings = Settings();
  ReplayGuard sealed;
  sealed.Record("desk-a", "7", 9'000'000);  // read from the sequence file: a clock ahead then
  Publisher publisher(settings, FakeMac("k"), sealed);
  const std::vector<Envelope> opened = PlanAndSend(publisher, {{"7", Image("7", 1)}}, 5000);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_GT(opened[0].seq, 9'000'000u);
  EXPECT_EQ(opened[0].time_ms, 5000);
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
