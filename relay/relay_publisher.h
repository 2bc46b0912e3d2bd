// What a publishing relay keeps on the broker: one retained message per master of the local hub.
// It plans the messages that bring the broker to the hub's set and remembers what the broker took;
// after a reconnect every master is sent again, as retained state is the truth.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "relay_plan.h"
#include "relay_settings.h"

struct OutgoingMessage {
  std::string login;
  std::string topic;
  std::string payload;  // a sealed envelope, or empty: the master left
  std::string image;    // what the envelope carries
};

class Publisher {
 public:
  Publisher(const RelaySettings& settings, MacFunction mac);

  // The messages for the hub's masters `current` (only the settings' logins, when it names any;
  // never those in `injected`); `refused` gets "login: why" for each master that cannot be sent.
  std::vector<OutgoingMessage> Plan(const ImageMap& current, const std::set<std::string>& injected,
                                    int64_t now_ms, std::vector<std::string>& refused);
  // The broker acknowledged `message`.
  void Sent(const OutgoingMessage& message);
  // A new connection: the next plan sends every master again.
  void Reconnected() { resend_ = true; }

  const ImageMap& published() const { return published_; }

 private:
  const RelaySettings& settings_;
  const MacFunction mac_;
  ImageMap published_;
  bool resend_ = true;
  uint64_t last_seq_ = 0;
};
