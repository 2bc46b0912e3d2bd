// What a publishing relay keeps on the broker: one retained message per master of the local hub.
// It plans the messages that bring the broker to the hub's set and remembers what the broker took;
// after a reconnect every master is sent again, as retained state is the truth, and every master
// is sealed again within kResealPeriodMs, so that its retained envelope never goes stale.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "relay_plan.h"
#include "relay_settings.h"

struct OutgoingMessage {
  enum Kind {
    kImage,    // a new or changed image, or every image after a reconnect
    kResealed,  // an unchanged image sealed anew, only to stay fresh
    kRemoval,  // the signed removal: what subscribers act on
    kClear,    // the empty retained message after it, so that the broker forgets the topic
  };
  Kind kind = kImage;
  std::string login;
  std::string topic;
  std::string payload;  // a sealed envelope; empty with kClear
  std::string image;    // what the envelope carries
};

class Publisher {
 public:
  // Sequence numbers rise above the marks of `sealed` (those of an earlier run too, read from
  // the sequence file), which gets each one as it is sealed.
  Publisher(const RelaySettings& settings, MacFunction mac, ReplayGuard& sealed);

  // The messages for the hub's masters `current` (only the settings' logins, when it names any;
  // never those in `injected`) at the wall clock `now_ms`; `refused` gets "login: why" for each
  // master that cannot be sent. A removal comes with its clear right behind it.
  std::vector<OutgoingMessage> Plan(const ImageMap& current, const std::set<std::string>& injected,
                                    int64_t now_ms, std::vector<std::string>& refused);
  // The broker acknowledged `message`.
  void Sent(const OutgoingMessage& message);
  // A new connection: the next plan sends every master again.
  void Reconnected() { resend_ = true; }

  const ImageMap& published() const { return published_; }

 private:
  std::string Seal(const std::string& login, int64_t now_ms, const std::string& image,
                   bool removed);

  const RelaySettings& settings_;
  const MacFunction mac_;
  ReplayGuard& sealed_;
  ImageMap published_;
  std::map<std::string, int64_t> sealed_at_;  // login -> when its image on the broker was sealed
  bool resend_ = true;
  uint64_t last_seq_ = 0;
};
