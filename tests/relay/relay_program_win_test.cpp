// qelv_relay.exe between two real hubs standing for two desks: a publishing relay beside hub A,
// where the masters are, and a subscribing relay beside hub B, where a slave fetches them. Over
// a broker the test ends and starts again, and over WebSocket with TLS and a pinned certificate.
// Whoever else writes on the broker is played by the broker's own client.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "hmac_sha256.h"
#include "hub_side_fixture_win.h"
#include "poll_until.h"
#include "relay_envelope.h"
#include "relay_log.h"
#include "relay_program_fixture_win.h"
#include "running_hub.h"
#include "sequence_file.h"

namespace {

const char kSecret[] = "the desks' shared secret 1";
const char kPassword[] = "broker-password-77";

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) count++;
  return count;
}

MacFunction MacUnder(std::string secret) {
  return [secret](std::string_view data, Mac& mac) {
    return HmacSha256(reinterpret_cast<const uint8_t*>(secret.data()), secret.size(),
                      reinterpret_cast<const uint8_t*>(data.data()), data.size(), mac);
  };
}

int64_t WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

const int64_t kTenMinutesMs = 600'000;  // beyond the default age bound

const std::string kImage1 = ImageOf("4711", 1);
const std::string kImage2 = ImageOf("4711", 2);
const std::string kImage3 = ImageOf("4711", 3);
const std::string kOther = ImageOf("4712", 2);

// Two hubs of channels of the test's own; the relays come in each test.
class TwoDesks : public testing::Test {
 protected:
  void SetUp() override {
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    channel_a_ = UniqueChannel((name + "_a").c_str());
    channel_b_ = UniqueChannel((name + "_b").c_str());
    remote_ = "desk" + std::to_string(GetCurrentProcessId()) + "-" + name;
    hub_a_ = std::make_unique<RunningHub>(SettingsFor(channel_a_).c_str());
    hub_b_ = std::make_unique<RunningHub>(SettingsFor(channel_b_).c_str());
    endpoint_a_ = hub_a_->WaitForEndpoint(channel_a_);
    endpoint_b_ = hub_b_->WaitForEndpoint(channel_b_);
    ASSERT_NE(endpoint_a_, nullptr);
    ASSERT_NE(endpoint_b_, nullptr);
  }

  std::string PublisherXml(const std::string& url, const std::string& extra = "") {
    return RelayXml(url, "publish", channel_a_, remote_, kSecret, extra);
  }
  std::string SubscriberXml(const std::string& url, const std::string& extra = "") {
    return RelayXml(url, "subscribe", channel_b_, remote_, kSecret, extra);
  }
  // Polls until a slave of hub B fetches `set`; the last set fetched otherwise.
  bool DeskBHolds(const std::string& set, DWORD limit_ms = kRelayLimitMs) {
    return PollUntil(limit_ms, [&] { return (last_b_ = FetchSetOf(endpoint_b_)) == set; });
  }
  std::string Topic(const std::string& login) { return "qelv/" + remote_ + "/" + login; }

  std::string channel_a_, channel_b_, remote_, last_b_;
  std::unique_ptr<RunningHub> hub_a_, hub_b_;
  HWND endpoint_a_ = NULL, endpoint_b_ = NULL;
};

class OverOwnBroker : public TwoDesks {
 protected:
  void SetUp() override {
    ASSERT_TRUE(broker_.Start()) << "mosquitto did not start on port " << broker_.port();
    TwoDesks::SetUp();
  }
  OwnBroker broker_;
};

TEST_F(OverOwnBroker, CarriesEveryChangeOfTheMastersToTheOtherDesk) {
  MasterOnHub first(endpoint_a_, 0x7101, kImage1);
  const std::string extra = "<user>desk</user><password>" + std::string(kPassword) + "</password>";
  const std::string publisher_xml = PublisherXml(broker_.Url(), extra);
  const std::string subscriber_xml = SubscriberXml(broker_.Url(), extra);
  RunningRelay publisher(publisher_xml.c_str());
  RunningRelay subscriber(subscriber_xml.c_str());

  ASSERT_TRUE(DeskBHolds(Header(1, 0) + kImage1))
      << last_b_ << "publisher:\n" << publisher.Log() << "subscriber:\n" << subscriber.Log();
  first.SetImage(kImage3);
  EXPECT_TRUE(DeskBHolds(Header(1, 0) + kImage3)) << last_b_;
  {
    MasterOnHub second(endpoint_a_, 0x7102, kOther);
    EXPECT_TRUE(DeskBHolds(Header(2, 0) + kImage3 + kOther)) << last_b_;
    EXPECT_TRUE(PollUntil(kRelayLimitMs, [&] { return publisher.StatusValue("Masters out") == "2"; }));
    EXPECT_TRUE(PollUntil(kRelayLimitMs, [&] { return subscriber.StatusValue("Masters in") == "2"; }));
  }
  EXPECT_TRUE(DeskBHolds(Header(1, 0) + kImage3)) << "the second master left: " << last_b_;
  EXPECT_TRUE(subscriber.WaitForLog("removed 4712"));
  EXPECT_EQ(subscriber.StatusValue("Connection"), "connected");
  EXPECT_EQ(subscriber.StatusValue("Last rejected"), "none");

  // Closing the window detaches the remote masters at once, without waiting for the hub's expiry.
  EXPECT_TRUE(subscriber.Close());
  EXPECT_EQ(subscriber.ExitCode(), 0u);
  EXPECT_TRUE(DeskBHolds(Header(0, 0), 5000)) << last_b_;
  for (const RunningRelay* relay : {&publisher, &subscriber}) {
    const std::string log = relay->Log();
    EXPECT_NE(log.find("connected to " + broker_.Url()), std::string::npos) << log;
    EXPECT_EQ(log.find(kPassword), std::string::npos) << log;
    EXPECT_EQ(log.find(kSecret), std::string::npos) << log;
  }
}

TEST_F(OverOwnBroker, BothWaysOnOneChannelWithoutSendingAnyMasterBack) {
  MasterOnHub on_a(endpoint_a_, 0x7101, kImage1);
  MasterOnHub on_b(endpoint_b_, 0x7102, kOther);
  const std::string xml_a = RelayXml(broker_.Url(), "both", channel_a_, remote_, kSecret);
  const std::string xml_b = RelayXml(broker_.Url(), "both", channel_b_, remote_, kSecret);
  RunningRelay relay_a(xml_a.c_str());
  RunningRelay relay_b(xml_b.c_str());

  // Each relay is a slave of its hub; each hub holds its own master first.
  EXPECT_TRUE(DeskBHolds(Header(2, 1) + kOther + kImage1)) << last_b_;
  std::string last_a;
  EXPECT_TRUE(PollUntil(kRelayLimitMs, [&] {
    return (last_a = FetchSetOf(endpoint_a_)) == Header(2, 1) + kImage1 + kOther;
  })) << last_a;
  on_a.SetImage(kImage2);
  EXPECT_TRUE(DeskBHolds(Header(2, 1) + kOther + kImage2)) << last_b_;

  EXPECT_EQ(relay_a.Log().find("published " + Topic("4712")), std::string::npos) << relay_a.Log();
  EXPECT_EQ(relay_b.Log().find("published " + Topic("4711")), std::string::npos) << relay_b.Log();
  for (const RunningRelay* relay : {&relay_a, &relay_b}) {
    EXPECT_EQ(relay->StatusValue("Masters out"), "1");
    EXPECT_EQ(relay->StatusValue("Masters in"), "1");
    EXPECT_EQ(relay->StatusValue("Last rejected"), "none");
  }
}

TEST_F(OverOwnBroker, ASecondRelayOfTheSameChannelsAndRoleStepsAside) {
  const std::string xml = SubscriberXml(broker_.Url());
  RunningRelay first(xml.c_str());
  ASSERT_TRUE(first.WaitForLog("connected to"));
  RunningRelay second(xml.c_str());
  EXPECT_TRUE(second.WaitForLog("not started: another relay of channel " + channel_b_));
  EXPECT_TRUE(second.Close());
  EXPECT_EQ(second.ExitCode(), 1u);
  // The first kept its connection all along: the broker never had to choose between the two.
  EXPECT_EQ(first.StatusValue("Connection"), "connected");
  EXPECT_EQ(first.Log().find("connection lost"), std::string::npos) << first.Log();

  // Another role of the same channels is another relay.
  const std::string publisher_xml = RelayXml(broker_.Url(), "publish", channel_b_, remote_, kSecret);
  RunningRelay publisher(publisher_xml.c_str());
  EXPECT_TRUE(publisher.WaitForLog("connected to"));
}

struct Attack {
  const char* what;
  std::string payload;  // "replay": the first image's genuine envelope
  std::string reason;
};

TEST_F(OverOwnBroker, RefusesForgedAndReplayedMessages) {
  MasterOnHub master(endpoint_a_, 0x7101, kImage1);
  const std::string publisher_xml = PublisherXml(broker_.Url());
  const std::string subscriber_xml = SubscriberXml(broker_.Url());
  RunningRelay publisher(publisher_xml.c_str());
  RunningRelay subscriber(subscriber_xml.c_str());
  ASSERT_TRUE(DeskBHolds(Header(1, 0) + kImage1))
      << last_b_ << "publisher:\n" << publisher.Log() << "subscriber:\n" << subscriber.Log();
  const std::string genuine_first = RetainedPayload(broker_.port(), Topic("4711"));
  ASSERT_FALSE(genuine_first.empty());
  master.SetImage(kImage2);
  ASSERT_TRUE(DeskBHolds(Header(1, 0) + kImage2))
      << last_b_ << "publisher:\n" << publisher.Log() << "subscriber:\n" << subscriber.Log();

  std::string altered = genuine_first;
  altered[altered.find("GBPUSD")] = 'E';
  const Envelope forged{remote_, "4711", 1ull << 60, 0, kImage3};
  const Envelope other_login{remote_, "4711", 1ull << 60, 0, kOther};
  // As if the genuine publisher had sealed them: long ago, or saying that the master left.
  const Envelope long_ago{remote_, "4711", 1ull << 60, WallMs() - kTenMinutesMs, kImage3};
  const Envelope removal{remote_, "4711", 1ull << 60, WallMs(), "", true};
  const std::string unsigned_removal = SealEnvelope(removal, MacUnder(kSecret));
  const Attack attacks[] = {
      {"no envelope at all", "buy everything", "unsigned"},
      {"signed under another secret", SealEnvelope(forged, MacUnder("another secret, guessed")),
       "bad signature"},
      {"a genuine envelope altered", altered, "bad signature"},
      {"another login's image", SealEnvelope(other_login, MacUnder(kSecret)),
       "image names another login than its envelope"},
      {"the first image again", genuine_first, "replay"},
      {"a genuine envelope sealed long ago", SealEnvelope(long_ago, MacUnder(kSecret)), "stale"},
      {"an empty message, the removal of old", "", "unsigned removal"},
      {"a removal without its signature", unsigned_removal.substr(0, unsigned_removal.rfind("mac ")),
       "unsigned"},
      {"a removal signed under another secret", SealEnvelope(removal, MacUnder("another secret, guessed")),
       "bad signature"},
  };
  size_t rejected = 0;
  for (const Attack& attack : attacks) {
    SCOPED_TRACE(attack.what);
    ASSERT_TRUE(!attack.payload.empty() || attack.reason == "unsigned removal");
    ASSERT_TRUE(broker_.PublishWithClient(Topic("4711"), attack.payload));
    EXPECT_TRUE(subscriber.WaitForLog("rejected a message on " + Topic("4711"), ++rejected))
        << subscriber.Log();
    EXPECT_NE(subscriber.StatusValue("Last rejected").find(attack.reason), std::string::npos)
        << subscriber.StatusValue("Last rejected");
    EXPECT_EQ(FetchSetOf(endpoint_b_), Header(1, 0) + kImage2);
  }
  // The current image again, as every reconnect brings the retained one back: not refused.
  const std::string genuine_second = RetainedPayload(broker_.port(), Topic("4711"));
  ASSERT_TRUE(PublishFromTest("mqtt", broker_.port(), Topic("4711"), genuine_second, false));
  ASSERT_TRUE(PublishFromTest("mqtt", broker_.port(), Topic("4711"), "after the repeat", false));
  EXPECT_TRUE(subscriber.WaitForLog("rejected a message on " + Topic("4711"), ++rejected));
  // Messages on one topic come in order: the repeat was handled before the one after it.
  EXPECT_EQ(Occurrences(subscriber.Log(), "rejected a message on " + Topic("4711")), rejected)
      << subscriber.Log();
  EXPECT_EQ(FetchSetOf(endpoint_b_), Header(1, 0) + kImage2);

  // The genuine publisher still gets through.
  master.SetImage(kImage3);
  EXPECT_TRUE(DeskBHolds(Header(1, 0) + kImage3)) << last_b_;
}

TEST_F(OverOwnBroker, OutlivesTheBrokerAndItsOwnRestarts) {
  MasterOnHub master(endpoint_a_, 0x7101, kImage1);
  const std::string publisher_xml = PublisherXml(broker_.Url());
  const std::string subscriber_xml = SubscriberXml(broker_.Url());
  RunningRelay publisher(publisher_xml.c_str());
  RunningRelay subscriber(subscriber_xml.c_str());
  ASSERT_TRUE(DeskBHolds(Header(1, 0) + kImage1)) << last_b_;

  ASSERT_TRUE(broker_.Stop());
  EXPECT_TRUE(subscriber.WaitForLog("connection lost"));
  EXPECT_TRUE(PollUntil(kRelayLimitMs, [&] { return subscriber.StatusValue("Connection") == "not connected"; }));
  // Past the hub's expiry of silent terminals: the remote master stays, kept by its markers.
  const DWORD past_expiry_ms = 36000;
  EXPECT_FALSE(PollUntil(past_expiry_ms, [&] { return FetchSetOf(endpoint_b_) != Header(1, 0) + kImage1; }))
      << FetchSetOf(endpoint_b_);

  // The broker comes back empty and the master did not change: the publisher sends it again,
  // as a subscriber that starts now finds only what is retained.
  ASSERT_TRUE(broker_.Start());
  Envelope retained;
  EXPECT_TRUE(PollUntil(kRelayLimitMs, [&] {
    return OpenEnvelope(RetainedPayload(broker_.port(), Topic("4711")), remote_, "4711",
                        MacUnder(kSecret), retained) == EnvelopeVerdict::kOpened &&
           retained.image == kImage1;
  }));
  master.SetImage(kImage2);
  EXPECT_TRUE(DeskBHolds(Header(1, 0) + kImage2)) << last_b_;

  publisher.Kill();
  master.SetImage(kImage3);
  publisher.Start();
  EXPECT_TRUE(DeskBHolds(Header(1, 0) + kImage3)) << "after the publisher's restart: " << last_b_;

  // A subscriber killed leaves its registration until the hub's expiry; its successor takes
  // the master from the retained message.
  subscriber.Kill();
  subscriber.Start();
  EXPECT_TRUE(DeskBHolds(Header(1, 0) + kImage3, 2 * kRelayLimitMs)) << "after the subscriber's restart: " << last_b_;
}

TEST_F(OverOwnBroker, RefusesAGenuineEnvelopeReplayedAfterTheSubscriberRestarted) {
  MasterOnHub master(endpoint_a_, 0x7101, kImage1);
  const std::string publisher_xml = PublisherXml(broker_.Url());
  const std::string subscriber_xml = SubscriberXml(broker_.Url());
  RunningRelay publisher(publisher_xml.c_str());
  RunningRelay subscriber(subscriber_xml.c_str());
  ASSERT_TRUE(DeskBHolds(Header(1, 0) + kImage1))
      << last_b_ << "publisher:\n" << publisher.Log() << "subscriber:\n" << subscriber.Log();
  const std::string recorded = RetainedPayload(broker_.port(), Topic("4711"));
  ASSERT_FALSE(recorded.empty());
  master.SetImage(kImage2);
  ASSERT_TRUE(DeskBHolds(Header(1, 0) + kImage2)) << last_b_;

  // Closed and started again, it takes the current image from the broker once more.
  ASSERT_TRUE(subscriber.Close());
  subscriber.Start();
  ASSERT_TRUE(subscriber.WaitForLog("applied 4711", 3)) << subscriber.Log();
  ASSERT_TRUE(DeskBHolds(Header(1, 0) + kImage2)) << last_b_;

  // The recorded image is as young as the age bound allows: only its sequence gives it away.
  ASSERT_TRUE(broker_.PublishWithClient(Topic("4711"), recorded));
  EXPECT_TRUE(subscriber.WaitForLog("rejected a message on " + Topic("4711"))) << subscriber.Log();
  EXPECT_NE(subscriber.StatusValue("Last rejected").find("replay"), std::string::npos)
      << subscriber.StatusValue("Last rejected");
  EXPECT_EQ(FetchSetOf(endpoint_b_), Header(1, 0) + kImage2);
  EXPECT_EQ(Occurrences(subscriber.Log(), "no sequence file"), 1u) << subscriber.Log();
}

struct SequenceFileDamage {
  const char* what;
  std::function<void(const std::string& path)> damage;
  const char* logged;
};

TEST_F(OverOwnBroker, WithoutASoundSequenceFileTakesOnlyYoungEnvelopesAndWritesItAgain) {
  MasterOnHub master(endpoint_a_, 0x7101, kImage1);
  const std::string publisher_xml = PublisherXml(broker_.Url());
  const std::string subscriber_xml = SubscriberXml(broker_.Url());
  RunningRelay publisher(publisher_xml.c_str());
  RunningRelay subscriber(subscriber_xml.c_str());
  const std::string path = subscriber.Path("qelv-relay.sequences");
  const Envelope long_ago{remote_, "4711", 1ull << 60, WallMs() - kTenMinutesMs, kImage3};
  const std::string stale = SealEnvelope(long_ago, MacUnder(kSecret));

  const SequenceFileDamage damages[] = {
      {"missing", [](const std::string& p) { DeleteFileA(p.c_str()); }, "no sequence file"},
      {"cut short", [](const std::string& p) {
         const std::string text = ReadFileText(p);
         WriteFileText(p, text.substr(0, text.size() - 3));
       }, "is damaged"},
      {"garbage", [](const std::string& p) { WriteFileText(p, std::string("\xff\0garbage\n", 10)); },
       "is damaged"},
  };
  size_t rejected = 0, damaged = 0;
  for (const SequenceFileDamage& d : damages) {
    SCOPED_TRACE(d.what);
    ASSERT_TRUE(subscriber.Close());
    d.damage(path);
    subscriber.Start();
    EXPECT_TRUE(subscriber.WaitForLog(d.logged, std::string(d.logged) == "is damaged" ? ++damaged : 2))
        << subscriber.Log();
    // The current image is young enough; one sealed long ago is not, whatever its sequence.
    EXPECT_TRUE(DeskBHolds(Header(1, 0) + kImage1)) << last_b_;
    ASSERT_TRUE(broker_.PublishWithClient(Topic("4711"), stale));
    EXPECT_TRUE(subscriber.WaitForLog("rejected a message on " + Topic("4711"), ++rejected));
    EXPECT_NE(subscriber.StatusValue("Last rejected").find("stale"), std::string::npos)
        << subscriber.StatusValue("Last rejected");
    EXPECT_EQ(FetchSetOf(endpoint_b_), Header(1, 0) + kImage1);
    // The image it applied is written down again.
    EXPECT_TRUE(PollUntil(kRelayLimitMs, [&] {
      ReplayGuard read;
      return ReadSequenceText(ReadFileText(path), read) && read.Last(remote_, "4711") > 0;
    })) << ReadFileText(path);
  }
}

// Every line of the relay's log files, oldest first; `sizes` gets each file's size.
std::vector<std::string> LogLines(const RunningRelay& relay, std::vector<size_t>& sizes) {
  std::vector<std::string> lines;
  for (int n = kRotatedLogFiles; n >= 0; n--) {
    const std::string path = relay.Path(n ? RotatedLogPath("qelv-relay.log", n) : "qelv-relay.log");
    if (!PathExists(path)) continue;
    const std::string text = ReadFileText(path);
    sizes.push_back(text.size());
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    if (!text.empty() && text.back() != '\n') lines.push_back("<no line feed at the end of " + path + ">");
  }
  return lines;
}

TEST_F(OverOwnBroker, KeepsItsLogBoundedUnderAFloodOfRefusedMessagesAndLosesNoLine) {
  const std::string subscriber_xml = SubscriberXml(broker_.Url());
  RunningRelay subscriber(subscriber_xml.c_str());
  ASSERT_TRUE(subscriber.WaitForLog("connected to"));
  // Long lines, so that a flood of a few thousand fills the first file.
  const std::string topic = Topic(std::string(kMaxEnvelopeNameBytes, 'x'));
  const std::string line_end = "rejected a message on " + topic + ": unsigned";
  const size_t count = kLogFileBytes / line_end.size() + 1000;
  ASSERT_TRUE(broker_.FloodWithClient(topic, count));

  std::vector<std::string> lines;
  std::vector<size_t> sizes;
  size_t refused = 0;
  EXPECT_TRUE(PollUntil(2 * kRelayLimitMs, [&] {
    sizes.clear();
    lines = LogLines(subscriber, sizes);
    refused = 0;
    for (const std::string& line : lines) refused += line.ends_with(line_end) ? 1 : 0;
    return refused >= count;
  })) << refused << " of " << count << " refusals logged";
  EXPECT_EQ(refused, count);
  EXPECT_GE(sizes.size(), 2u) << "the log was never rotated";
  for (size_t size : sizes) EXPECT_LE(size, kLogFileBytes);
  for (const std::string& line : lines) {
    ASSERT_GT(line.size(), 24u) << line;
    EXPECT_EQ(line.substr(0, 2), "20") << line;  // a time stamp: no line began inside another
  }
  EXPECT_EQ(subscriber.StatusValue("Connection"), "connected");
}

TEST_F(TwoDesks, CarriesMastersOverWebSocketWithTlsToThePinnedCertificateOnly) {
  TlsBroker broker;
  ASSERT_TRUE(broker.Start());
  const std::string url = "wss://localhost:" + std::to_string(broker.Port("wss")) + "/mqtt";
  const std::string pin = broker.Pin();
  ASSERT_EQ(pin.size(), 64u);
  std::string wrong_pin = pin;
  wrong_pin[0] = wrong_pin[0] == '0' ? '1' : '0';

  MasterOnHub master(endpoint_a_, 0x7101, kImage1);
  const std::string publisher_xml = PublisherXml(url, "<cert_sha256>" + pin + "</cert_sha256>");
  const std::string subscriber_xml = SubscriberXml(url, "<cert_sha256>" + pin + "</cert_sha256>");
  const std::string mistrusting_xml = RelayXml(url, "subscribe", channel_b_ + "_none", remote_,
                                               kSecret, "<cert_sha256>" + wrong_pin + "</cert_sha256>");
  RunningRelay publisher(publisher_xml.c_str());
  RunningRelay subscriber(subscriber_xml.c_str());
  RunningRelay mistrusting(mistrusting_xml.c_str());
  EXPECT_TRUE(DeskBHolds(Header(1, 0) + kImage1))
      << last_b_ << "publisher:\n" << publisher.Log() << "subscriber:\n" << subscriber.Log();
  master.SetImage(kImage2);
  EXPECT_TRUE(DeskBHolds(Header(1, 0) + kImage2)) << last_b_;

  EXPECT_TRUE(mistrusting.WaitForLog("cannot reach the broker", 2));
  EXPECT_EQ(mistrusting.Log().find("connected to"), std::string::npos) << mistrusting.Log();
  EXPECT_EQ(mistrusting.StatusValue("Connection"), "not connected");
}

struct RefusedCase {
  const char* what;
  std::string settings;  // "": no qelv-relay.xml
  std::string reason;
};

class RefusedSettings : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedSettings, AreShownAndLoggedAndNothingRuns) {
  const RefusedCase& c = GetParam();
  RunningRelay relay(c.settings.empty() ? nullptr : c.settings.c_str());
  ASSERT_TRUE(relay.WaitForLog("not started: ")) << relay.Log();
  const std::string log = relay.Log();
  EXPECT_NE(log.find(c.reason), std::string::npos) << log;
  EXPECT_EQ(log.find(kPassword), std::string::npos) << log;
  EXPECT_EQ(log.find(kSecret), std::string::npos) << log;
  EXPECT_EQ(log.find("started: role"), std::string::npos) << log;
  EXPECT_TRUE(PollUntil(kRelayLimitMs, [&] { return relay.StatusValue("Stopped").find(c.reason) != std::string::npos; }))
      << relay.StatusValue("Stopped");
  EXPECT_TRUE(relay.Close());
  EXPECT_EQ(relay.ExitCode(), 1u);
}

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.what; }

const std::string kCredentials = "<user>desk</user><password>" + std::string(kPassword) + "</password>";

INSTANTIATE_TEST_SUITE_P(Cases, RefusedSettings, testing::Values(
    RefusedCase{"no file", "", "cannot read"},
    RefusedCase{"plain text to another host",
                RelayXml("mqtt://192.0.2.1:1883", "subscribe", "c", "desk", kSecret, kCredentials),
                "plain text to 192.0.2.1"},
    RefusedCase{"a short secret", RelayXml("mqtt://127.0.0.1:1883", "subscribe", "c", "desk", "short", kCredentials),
                "secret must hold"},
    RefusedCase{"an unknown role", RelayXml("mqtt://127.0.0.1:1883", "relay", "c", "desk", kSecret, kCredentials),
                "role must be"}));

}  // namespace
