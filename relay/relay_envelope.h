// The signed payload that carries one master's image between hubs, and the guard against replays.
//
//   qelv-relay 1
//   channel desk-a
//   login 4711
//   seq 1765190400123
//   time 1765190400123
//   image-bytes 99
//   <exactly 99 bytes of image text>
//   mac 5f0c...  (64 lower-case hex digits)
//
// Each line ends with a line feed, and so does the image (one is added behind it). The MAC is
// HMAC-SHA256 under the channel's secret over every byte before "mac ".
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "sha256_digest.h"

// A master's image text has no limit of its own; this bounds what a subscriber accepts.
constexpr size_t kMaxImageBytes = 8u << 20;
// Channel names and logins: bounded, and free of what would break a line or a topic.
constexpr size_t kMaxEnvelopeNameBytes = 128;

using Mac = Sha256Digest;
// HMAC-SHA256 of `data` under the channel secret the function holds; false when it could not be
// computed.
using MacFunction = std::function<bool(std::string_view data, Mac& mac)>;

struct Envelope {
  std::string channel;  // the remote channel's name, as in the topic
  std::string login;
  uint64_t seq = 0;     // strictly rising per (channel, login): NextSequence
  int64_t time_ms = 0;  // the publisher's wall clock, milliseconds since 1970, for the log
  std::string image;
  bool operator==(const Envelope&) const = default;
};

// A channel name or login that can stand in an envelope line and a topic level.
bool IsEnvelopeName(std::string_view name);

// The payload for `envelope`; empty when a name is not IsEnvelopeName, the image is larger than
// kMaxImageBytes or the MAC could not be computed.
std::string SealEnvelope(const Envelope& envelope, const MacFunction& mac);

enum class EnvelopeVerdict {
  kOpened,
  kUnsigned,         // not an envelope at all, or no mac line
  kMalformed,        // an envelope that breaks the format or its bounds
  kBadMac,           // the MAC does not match: wrong secret or altered bytes
  kMacUnavailable,   // the MAC could not be computed here
  kChannelMismatch,  // the envelope names another channel than its topic
  kLoginMismatch,    // the envelope names another login than its topic
};
const char* EnvelopeVerdictText(EnvelopeVerdict verdict);

// Parses `payload` strictly and checks its MAC (in constant time) and that it names the topic's
// channel and login; `out` is written only with kOpened.
EnvelopeVerdict OpenEnvelope(std::string_view payload, std::string_view topic_channel,
                             std::string_view topic_login, const MacFunction& mac, Envelope& out);

// The publisher's next sequence number: its wall clock in milliseconds, or one above the last when
// the clock stands still or went back. A publisher that restarts starts at its clock again, so
// sequence numbers keep rising across restarts as long as the clock does; nothing is persisted.
uint64_t NextSequence(uint64_t last, int64_t now_ms);

// The last sequence number applied per (channel, login); anything not above it is a replay. It
// survives a master's removal, so that its old envelopes stay refused.
class ReplayGuard {
public:
  bool IsFresh(std::string_view channel, std::string_view login, uint64_t seq) const;
  void Record(std::string_view channel, std::string_view login, uint64_t seq);

private:
  std::map<std::string, uint64_t> last_;  // by channel, line feed, login
};
