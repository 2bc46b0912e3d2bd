// The relay's settings and their reader for qelv-relay.xml:
//
//   <root><relay>
//     <broker_url>wss://broker.example:8884/mqtt</broker_url>
//     <user>desk</user>  <password>...</password>
//     <secret>the channel's shared secret, 16 characters or more</secret>
//     <channel_id>qelv_channel_1</channel_id>      the local hub's
//     <remote_channel>desk-a</remote_channel>      the name in topics
//     <topic_prefix>qelv</topic_prefix>            optional
//     <role>publish</role>                         publish, subscribe or both
//     <logins>4711, 4712</logins>                  optional; empty means every login
//     <cert_sha256>ab12...</cert_sha256>           optional, wss:// only
//     <insecure>0</insecure>                       optional; 1 allows plain text to other hosts
//     <max_age_seconds>300</max_age_seconds>       optional; how old an envelope may be
//   </relay></root>
//
// Plain tag search as the hub reads its qelv.xml: the first non-empty element at each level counts.
// Every refusal is a sentence for the log; none ever holds the password or the secret.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "relay_envelope.h"
#include "sha256_digest.h"

struct BrokerUrl {
  enum Scheme { kMqtt, kWs, kWss };
  Scheme scheme = kMqtt;
  std::string host;  // an IPv6 address without its brackets
  uint16_t port = 0;
  std::string path;  // WebSocket only; "/mqtt" when the URL names none
  bool operator==(const BrokerUrl&) const = default;
};

enum class RelayRole { kPublish, kSubscribe, kBoth };

// Ten reseal periods: a retained envelope ages by at most one of them before it is sealed again,
// and the rest is left for the desks' clocks to differ by.
constexpr int64_t kDefaultMaxAgeMs = 10 * kResealPeriodMs;
// Two reseal periods at least, so that no retained envelope goes stale between two seals; a day
// at most, as a longer bound would let a recorded image come back after a day.
constexpr int64_t kMinMaxAgeMs = 2 * kResealPeriodMs;
constexpr int64_t kMaxMaxAgeMs = 86'400'000;

struct RelaySettings {
  BrokerUrl broker;
  std::string user;
  std::string password;
  std::string secret;  // the MAC's key: the element's bytes, trimmed of white space
  std::string channel_id;
  std::string remote_channel;
  std::string topic_prefix = "qelv";
  RelayRole role = RelayRole::kSubscribe;
  std::vector<std::string> logins;                  // empty: every login
  std::optional<Sha256Digest> cert_sha256;
  bool insecure = false;
  // An envelope sealed longer ago than this (or as far ahead of this computer's clock) is stale.
  int64_t max_age_ms = kDefaultMaxAgeMs;
  bool operator==(const RelaySettings&) const = default;
};

// Reads the bytes of qelv-relay.xml; false with `error` saying what to mend.
bool ReadRelaySettings(std::string_view file, RelaySettings& out, std::string& error);

// mqtt://host[:port], ws://host[:port][/path], wss://host[:port][/path]; ports default to 1883,
// 80 and 443. False with `error` for anything else, a user or password in the URL included.
bool ParseBrokerUrl(std::string_view url, BrokerUrl& out, std::string& error);

// localhost, 127.x.x.x and ::1: hosts that plain text may reach without `insecure`.
bool IsLoopbackHost(std::string_view host);

// `<prefix>/<channel>/<login>` and the filter of a channel's topics, `<prefix>/<channel>/+`.
std::string MasterTopic(std::string_view prefix, std::string_view channel, std::string_view login);
std::string ChannelFilter(std::string_view prefix, std::string_view channel);
// The channel and login of a master topic under `prefix`; false for any other topic.
bool SplitMasterTopic(std::string_view topic, std::string_view prefix, std::string& channel,
                      std::string& login);
