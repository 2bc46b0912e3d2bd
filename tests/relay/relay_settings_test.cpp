#include "relay_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

constexpr char kPassword[] = "Pa55-w0rd-x";
constexpr char kSecret[] = "s3cret-of-the-channel";

// A settings file: every field given, then `changes` applied (an empty value leaves a field out).
std::string File(std::map<std::string, std::string> changes) {
  std::map<std::string, std::string> fields = {
      {"broker_url", "wss://broker.example:8884/mqtt"}, {"user", "desk"}, {"password", kPassword},
      {"secret", kSecret}, {"channel_id", "qelv_channel_1"}, {"remote_channel", "desk-a"},
      {"role", "subscribe"}};
  for (auto& [name, value] : changes) fields[name] = value;
  std::string file = "<?xml version=\"1.0\"?>\n<root>\n  <relay>\n";
  for (auto& [name, value] : fields)
    if (!value.empty()) file += "    <" + name + "> " + value + " </" + name + ">\n";
  return file + "  </relay>\n</root>\n";
}

RelaySettings Expected(std::function<void(RelaySettings&)> change = nullptr) {
  RelaySettings s;
  s.broker = {BrokerUrl::kWss, "broker.example", 8884, "/mqtt"};
  s.user = "desk";
  s.password = kPassword;
  s.secret = kSecret;
  s.channel_id = "qelv_channel_1";
  s.remote_channel = "desk-a";
  s.role = RelayRole::kSubscribe;
  if (change) change(s);
  return s;
}

struct ReadCase {
  const char* name;
  std::string file;
  RelaySettings expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class RelaySettingsFile : public testing::TestWithParam<ReadCase> {};

TEST_P(RelaySettingsFile, Reads) {
  RelaySettings s;
  std::string error;
  ASSERT_TRUE(ReadRelaySettings(GetParam().file, s, error)) << error;
  EXPECT_TRUE(s == GetParam().expected);
}

std::array<uint8_t, 32> Pin() {
  std::array<uint8_t, 32> pin;
  for (size_t i = 0; i < pin.size(); i++) pin[i] = static_cast<uint8_t>(0xA0 + i);
  return pin;
}
const std::string kPinHex = "a0a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7b8b9babbbcbdbebf";

INSTANTIATE_TEST_SUITE_P(RelayFiles, RelaySettingsFile, testing::Values(
    ReadCase{"defaults", File({}), Expected()},
    ReadCase{"publisher with logins and prefix",
             File({{"role", "Publish"}, {"logins", "4711, 4712 ,,4713"}, {"topic_prefix", "org/qelv"}}),
             Expected([](RelaySettings& s) {
               s.role = RelayRole::kPublish;
               s.logins = {"4711", "4712", "4713"};
               s.topic_prefix = "org/qelv";
             })},
    ReadCase{"both roles", File({{"role", "both"}}),
             Expected([](RelaySettings& s) { s.role = RelayRole::kBoth; })},
    ReadCase{"no user, no password", File({{"user", ""}, {"password", ""}}),
             Expected([](RelaySettings& s) { s.user = s.password = ""; })},
    ReadCase{"pin in hex", File({{"cert_sha256", kPinHex}}),
             Expected([](RelaySettings& s) { s.cert_sha256 = Pin(); })},
    ReadCase{"pin with colons, upper case",
             File({{"cert_sha256", "A0:A1:A2:A3:A4:A5:A6:A7:A8:A9:AA:AB:AC:AD:AE:AF:B0:B1:B2:B3:B4:B5:B6:B7:"
                                   "B8:B9:BA:BB:BC:BD:BE:BF"}}),
             Expected([](RelaySettings& s) { s.cert_sha256 = Pin(); })},
    ReadCase{"plain text to the loopback", File({{"broker_url", "mqtt://127.0.0.1"}}),
             Expected([](RelaySettings& s) { s.broker = {BrokerUrl::kMqtt, "127.0.0.1", 1883, ""}; })},
    ReadCase{"plain text elsewhere when insecure",
             File({{"broker_url", "ws://10.0.0.5:9001/ws"}, {"insecure", "1"}}),
             Expected([](RelaySettings& s) {
               s.broker = {BrokerUrl::kWs, "10.0.0.5", 9001, "/ws"};
               s.insecure = true;
             })},
    ReadCase{"insecure 0 on TLS", File({{"insecure", "0"}}), Expected()},
    ReadCase{"the shortest age bound", File({{"max_age_seconds", "60"}}),
             Expected([](RelaySettings& s) { s.max_age_ms = 60'000; })},
    ReadCase{"the longest age bound", File({{"max_age_seconds", "86400"}}),
             Expected([](RelaySettings& s) { s.max_age_ms = 86'400'000; })},
    ReadCase{"first non-empty relay counts",
             "<root><relay> </relay>" + File({}).substr(File({}).find("<relay>")),
             Expected()}));

struct RefusalCase {
  const char* name;
  std::string file;
  const char* says;  // found in the error
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class RelaySettingsRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(RelaySettingsRefusal, SaysWhatToMendAndNoSecret) {
  RelaySettings s;
  s.user = "untouched";
  std::string error;
  EXPECT_FALSE(ReadRelaySettings(GetParam().file, s, error));
  EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
  EXPECT_EQ(error.find(kPassword), std::string::npos) << error;
  EXPECT_EQ(error.find(kSecret), std::string::npos) << error;
  EXPECT_EQ(s.user, "untouched");
}

INSTANTIATE_TEST_SUITE_P(RelayFiles, RelaySettingsRefusal, testing::Values(
    RefusalCase{"empty file", "", "<root><relay>"},
    RefusalCase{"zero byte before the relay", std::string("<root>\0", 7) + File({}), "<root><relay>"},
    RefusalCase{"no broker", File({{"broker_url", ""}}), "broker_url is missing"},
    RefusalCase{"password without user", File({{"user", ""}}), "a password needs a user"},
    RefusalCase{"no secret", File({{"secret", ""}}), "secret must hold at least 16"},
    RefusalCase{"short secret", File({{"secret", "short"}}), "secret must hold at least 16"},
    RefusalCase{"no local channel", File({{"channel_id", ""}}), "channel_id"},
    RefusalCase{"no remote channel", File({{"remote_channel", ""}}), "remote_channel must be"},
    RefusalCase{"wildcard in the remote channel", File({{"remote_channel", "desk+"}}), "remote_channel must be"},
    RefusalCase{"empty level in the prefix", File({{"topic_prefix", "a//b"}}), "topic_prefix"},
    RefusalCase{"prefix ending in a slash", File({{"topic_prefix", "qelv/"}}), "topic_prefix"},
    RefusalCase{"no role", File({{"role", ""}}), "role must be publish, subscribe or both"},
    RefusalCase{"unknown role", File({{"role", "relay"}}), "not \"relay\""},
    RefusalCase{"role that is the password", File({{"role", kPassword}}), "role must be"},
    RefusalCase{"login with a space", File({{"logins", "4711, 47 12"}}), "\"47 12\""},
    RefusalCase{"login that is the secret with a slash",
                File({{"logins", std::string(kSecret) + "/x"}}), "logins:"},
    RefusalCase{"pin too short", File({{"cert_sha256", kPinHex.substr(2)}}), "64 hexadecimal digits"},
    RefusalCase{"pin too long", File({{"cert_sha256", kPinHex + "00"}}), "64 hexadecimal digits"},
    RefusalCase{"pin not hex", File({{"cert_sha256", "g" + kPinHex.substr(1)}}), "64 hexadecimal digits"},
    RefusalCase{"pin without TLS", File({{"broker_url", "mqtt://localhost"}, {"cert_sha256", kPinHex}}),
                "needs a wss://"},
    RefusalCase{"insecure neither 0 nor 1", File({{"insecure", "yes"}}), "insecure must be 0 or 1"},
    RefusalCase{"an age bound shorter than two reseals", File({{"max_age_seconds", "59"}}),
                "max_age_seconds must be a whole number from 60 to 86400"},
    RefusalCase{"an age bound beyond a day", File({{"max_age_seconds", "86401"}}), "max_age_seconds"},
    RefusalCase{"an age bound in minutes", File({{"max_age_seconds", "5m"}}), "max_age_seconds"},
    RefusalCase{"a negative age bound", File({{"max_age_seconds", "-300"}}), "max_age_seconds"},
    RefusalCase{"an age bound of twenty digits", File({{"max_age_seconds", std::string(20, '9')}}),
                "max_age_seconds"},
    RefusalCase{"plain mqtt to another host", File({{"broker_url", "mqtt://broker.example"}}),
                "<insecure>1</insecure>"},
    RefusalCase{"plain ws to another host", File({{"broker_url", "ws://192.168.1.2/mqtt"}}),
                "plain text to 192.168.1.2"},
    RefusalCase{"password in the URL",
                File({{"broker_url", std::string("wss://desk:") + kPassword + "@broker.example"}}),
                "no user, password"},
    RefusalCase{"bad URL", File({{"broker_url", "http://broker.example"}}), "mqtt://, ws:// or wss://"}));

struct UrlCase {
  const char* url;
  std::optional<BrokerUrl> expected;  // nullopt: refused
};
void PrintTo(const UrlCase& c, std::ostream* os) { *os << c.url; }

class BrokerUrlParse : public testing::TestWithParam<UrlCase> {};

TEST_P(BrokerUrlParse, ReadsOrRefuses) {
  BrokerUrl url;
  std::string error;
  const bool ok = ParseBrokerUrl(GetParam().url, url, error);
  ASSERT_EQ(ok, GetParam().expected.has_value()) << error;
  if (ok) {
    EXPECT_TRUE(url == *GetParam().expected);
  } else {
    EXPECT_FALSE(error.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(RelayUrls, BrokerUrlParse, testing::Values(
    UrlCase{"mqtt://localhost", BrokerUrl{BrokerUrl::kMqtt, "localhost", 1883, ""}},
    UrlCase{"mqtt://localhost/", BrokerUrl{BrokerUrl::kMqtt, "localhost", 1883, ""}},
    UrlCase{"MQTT://Host-1.example:18830", BrokerUrl{BrokerUrl::kMqtt, "Host-1.example", 18830, ""}},
    UrlCase{"ws://h", BrokerUrl{BrokerUrl::kWs, "h", 80, "/mqtt"}},
    UrlCase{"ws://h:9001/", BrokerUrl{BrokerUrl::kWs, "h", 9001, "/mqtt"}},
    UrlCase{"wss://h/ws/mqtt", BrokerUrl{BrokerUrl::kWss, "h", 443, "/ws/mqtt"}},
    UrlCase{"wss://[::1]:8884/m", BrokerUrl{BrokerUrl::kWss, "::1", 8884, "/m"}},
    UrlCase{"mqtt://[fe80::1]", BrokerUrl{BrokerUrl::kMqtt, "fe80::1", 1883, ""}},
    UrlCase{"mqtt://h:65535", BrokerUrl{BrokerUrl::kMqtt, "h", 65535, ""}},
    UrlCase{"tcp://h", std::nullopt},
    UrlCase{"h:1883", std::nullopt},
    UrlCase{"mqtt://", std::nullopt},
    UrlCase{"mqtt://:1883", std::nullopt},
    UrlCase{"mqtt://h:", std::nullopt},
    UrlCase{"mqtt://h:0", std::nullopt},
    UrlCase{"mqtt://h:65536", std::nullopt},
    UrlCase{"mqtt://h:18x", std::nullopt},
    UrlCase{"mqtt://h/path", std::nullopt},
    UrlCase{"mqtt://fe80::1", std::nullopt},
    UrlCase{"mqtt://[fe80::1", std::nullopt},
    UrlCase{"mqtt://[fe80::1]x", std::nullopt},
    UrlCase{"mqtt://[]", std::nullopt},
    UrlCase{"mqtt://u:p@h", std::nullopt},
    UrlCase{"ws://h/a b", std::nullopt},
    UrlCase{"ws://h/?x=1", std::nullopt},
    UrlCase{"mqtt://h_x", std::nullopt}));

struct LoopbackCase {
  const char* host;
  bool loopback;
};

class Loopback : public testing::TestWithParam<LoopbackCase> {};

TEST_P(Loopback, OnlyTheMachineItself) { EXPECT_EQ(IsLoopbackHost(GetParam().host), GetParam().loopback); }

INSTANTIATE_TEST_SUITE_P(RelayHosts, Loopback, testing::Values(
    LoopbackCase{"localhost", true}, LoopbackCase{"LocalHost", true}, LoopbackCase{"127.0.0.1", true},
    LoopbackCase{"127.255.3.4", true}, LoopbackCase{"::1", true},
    LoopbackCase{"localhost.example", false}, LoopbackCase{"127.0.0.1.example", false},
    LoopbackCase{"127.0.0", false}, LoopbackCase{"127.0.0.256", false}, LoopbackCase{"1270.0.0.1", false},
    LoopbackCase{"128.0.0.1", false}, LoopbackCase{"::2", false}, LoopbackCase{"", false},
    LoopbackCase{"127.example", false}));

struct TopicCase {
  const char* topic;
  bool ours;
  const char* channel = "";
  const char* login = "";
};

class MasterTopics : public testing::TestWithParam<TopicCase> {};

TEST_P(MasterTopics, SplitUnderTheirPrefix) {
  std::string channel, login;
  ASSERT_EQ(SplitMasterTopic(GetParam().topic, "org/qelv", channel, login), GetParam().ours);
  if (!GetParam().ours) return;
  EXPECT_EQ(channel, GetParam().channel);
  EXPECT_EQ(login, GetParam().login);
  EXPECT_EQ(MasterTopic("org/qelv", channel, login), GetParam().topic);  // and back
}

INSTANTIATE_TEST_SUITE_P(RelayTopics, MasterTopics, testing::Values(
    TopicCase{"org/qelv/desk-a/4711", true, "desk-a", "4711"},
    TopicCase{"org/qelv/desk-a", false}, TopicCase{"org/qelv/desk-a/4711/x", false},
    TopicCase{"org/qelv//4711", false}, TopicCase{"org/qelv/desk-a/", false},
    TopicCase{"org/qelvx/desk-a/4711", false}, TopicCase{"qelv/desk-a/4711", false},
    TopicCase{"org/qelv", false}));

TEST(RelayMasterTopics, FilterCoversTheChannel) {
  EXPECT_EQ(MasterTopic("qelv", "desk-a", "4711"), "qelv/desk-a/4711");
  EXPECT_EQ(ChannelFilter("qelv", "desk-a"), "qelv/desk-a/+");
}

}  // namespace
