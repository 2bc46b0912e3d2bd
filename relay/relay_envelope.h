// The signed payload that carries one master's image between hubs, or says that the master left,
// and the guard against replays.
//
//   qelv-relay 2                              qelv-relay 2
//   channel desk-a                            channel desk-a
//   login 4711                                login 4711
//   seq 1765190400123                         seq 1765190400124
//   time 1765190400123                        time 1765190400124
//   image-bytes 99                            removed
//   <exactly 99 bytes of image text>          mac 3a9e...
//   mac 5f0c...  (64 lower-case hex digits)
//
// Each line ends with a line feed, and so does the image (one is added behind it). The MAC is
// HMAC-SHA256 under the channel's secret over every byte before "mac ". Version 1 had no removal
// record (an empty message removed a master, unsigned) and its time was not checked: it is
// refused, so that a relay left at version 1 shows in the log instead of half working.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sha256_digest.h"

// A master's image text has no limit of its own; this bounds what a subscriber accepts.
constexpr size_t kMaxImageBytes = 8u << 20;
// Channel names and logins: bounded, and free of what would break a line or a topic.
constexpr size_t kMaxEnvelopeNameBytes = 128;

// A publisher seals every master's envelope again at least this often, unchanged or not, so that
// the broker's retained copy is never older than a subscriber's age bound allows.
constexpr int64_t kResealPeriodMs = 30'000;

using Mac = Sha256Digest;
// HMAC-SHA256 of `data` under the channel secret the function holds; false when it could not be
// computed.
using MacFunction = std::function<bool(std::string_view data, Mac& mac)>;

struct Envelope {
  std::string channel;  // the remote channel's name, as in the topic
  std::string login;
  uint64_t seq = 0;     // strictly rising per (channel, login): NextSequence
  int64_t time_ms = 0;  // the publisher's wall clock when sealed, milliseconds since 1970
  std::string image;    // empty in a removal
  bool removed = false;  // the master left its hub
  bool operator==(const Envelope&) const = default;
};

// Decimal digits only, no sign, no leading zero, at most `max`: the numbers of an envelope and of
// the relay's other texts. `out` is written only when true.
bool ParseStrictDecimal(std::string_view text, uint64_t max, uint64_t& out);

// A channel name or login that can stand in an envelope line and a topic level.
bool IsEnvelopeName(std::string_view name);

// The payload for `envelope`; empty when a name is not IsEnvelopeName, the image is larger than
// kMaxImageBytes, a removal carries an image or the MAC could not be computed.
std::string SealEnvelope(const Envelope& envelope, const MacFunction& mac);

enum class EnvelopeVerdict {
  kOpened,
  kUnsigned,         // not an envelope at all, or no mac line
  kMalformed,        // an envelope that breaks the format or its bounds
  kOtherVersion,     // an envelope of another version than this relay's
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

// The last sequence number taken per (channel, login): applied by a subscriber, sealed by a
// publisher. Anything below it is a replay; the envelope taken last may come again (a reconnect
// brings the retained one back, also after a restart). It survives a master's removal, so that
// its old envelopes stay refused, and the relay's restarts through its file (sequence_file.h).
class ReplayGuard {
public:
  struct Mark {
    std::string channel;
    std::string login;
    uint64_t seq;
    bool operator==(const Mark&) const = default;
  };

  bool IsBehind(std::string_view channel, std::string_view login, uint64_t seq) const;
  // 0 when nothing was taken.
  uint64_t Last(std::string_view channel, std::string_view login) const;
  void Record(std::string_view channel, std::string_view login, uint64_t seq);
  // Rises with every mark that rose, so that the owner knows when to write them down.
  uint64_t changes() const { return changes_; }
  // By channel, then login.
  std::vector<Mark> Marks() const;

private:
  std::map<std::pair<std::string, std::string>, uint64_t> last_;  // by channel and login
  uint64_t changes_ = 0;
};
