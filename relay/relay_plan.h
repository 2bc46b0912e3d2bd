// What each role does next, decided without I/O: which masters a publisher sends or clears, and
// what a subscriber does with one incoming message.
#pragma once
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "relay_envelope.h"

using ImageMap = std::map<std::string, std::string>;  // login -> image text

struct PublishPlan {
  std::vector<std::string> publish;        // new or changed images
  std::vector<std::string> clear;          // published before, gone now: a signed removal
  std::vector<std::string> unpublishable;  // logins that cannot stand in a topic, for the log
  bool operator==(const PublishPlan&) const = default;
};

// Compares the local set (`current`) with what was last published. Logins this relay injected
// itself are neither published nor cleared: they belong to another publisher.
PublishPlan PlanPublishing(const ImageMap& current, const ImageMap& published,
                           const std::set<std::string>& injected);

struct SubscriberView {
  std::string_view topic_prefix;
  std::string_view remote_channel;
  const std::vector<std::string>& logins;     // empty: every login
  const std::set<std::string>& own_logins;    // masters this relay publishes from the local hub
  const MacFunction& mac;
  const ReplayGuard& guard;
  int64_t now_ms;      // this computer's wall clock
  int64_t max_age_ms;  // how far an envelope's time may lie from it, either way
};

struct IncomingDecision {
  enum Action { kApply, kRemove, kReject };
  Action action = kReject;
  std::string login;
  Envelope envelope;   // with kApply and kRemove
  std::string reason;  // with kReject, for the log
};

// Apply an envelope's image, remove a master (a signed removal) or reject, saying why: an empty
// message removes nothing, as anyone on the broker could send one. Applying is up to the caller,
// which then records the sequence number in its ReplayGuard.
IncomingDecision DecideIncoming(std::string_view topic, std::string_view payload,
                                const SubscriberView& view);
