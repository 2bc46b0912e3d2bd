#include "relay_publisher.h"

#include <algorithm>

namespace {

// A clock that went back counts as due too, or nothing would be sealed until it caught up.
bool ResealDue(int64_t sealed_ms, int64_t now_ms) {
  return now_ms - sealed_ms >= kResealPeriodMs || now_ms < sealed_ms;
}

}  // namespace

Publisher::Publisher(const RelaySettings& settings, MacFunction mac, ReplayGuard& sealed)
    : settings_(settings), mac_(std::move(mac)), sealed_(sealed) {}

std::string Publisher::Seal(const std::string& login, int64_t now_ms, const std::string& image,
                            bool removed) {
  const std::string& channel = settings_.remote_channel;
  last_seq_ = NextSequence(std::max(last_seq_, sealed_.Last(channel, login)), now_ms);
  std::string payload = SealEnvelope({channel, login, last_seq_, now_ms, image, removed}, mac_);
  if (!payload.empty()) sealed_.Record(channel, login, last_seq_);
  return payload;
}

std::vector<OutgoingMessage> Publisher::Plan(const ImageMap& current,
                                             const std::set<std::string>& injected, int64_t now_ms,
                                             std::vector<std::string>& refused) {
  ImageMap chosen;
  for (const auto& [login, image] : current) {
    const auto& logins = settings_.logins;
    if (logins.empty() || std::find(logins.begin(), logins.end(), login) != logins.end())
      chosen.emplace(login, image);
  }
  ImageMap on_broker = published_;
  // An image is never empty, so every master differs from what is assumed sent and goes again.
  std::set<std::string> resealed;
  for (auto& [login, image] : on_broker) {
    if (resend_) {
      image.clear();
    } else if (ResealDue(sealed_at_.at(login), now_ms)) {
      image.clear();
      resealed.insert(login);
    }
  }
  resend_ = false;

  const PublishPlan plan = PlanPublishing(chosen, on_broker, injected);
  for (const std::string& login : plan.unpublishable)
    refused.push_back(login + ": a login that cannot stand in a topic");
  std::vector<OutgoingMessage> messages;
  const auto topic = [&](const std::string& login) {
    return MasterTopic(settings_.topic_prefix, settings_.remote_channel, login);
  };
  for (const std::string& login : plan.publish) {
    const std::string& image = chosen.at(login);
    std::string payload = Seal(login, now_ms, image, false);
    if (payload.empty()) {
      refused.push_back(login + ": the envelope could not be sealed (image too large or no MAC)");
      continue;
    }
    sealed_at_[login] = now_ms;
    const bool unchanged = resealed.contains(login) && published_.at(login) == image;
    messages.push_back({unchanged ? OutgoingMessage::kResealed : OutgoingMessage::kImage, login,
                        topic(login), std::move(payload), image});
  }
  for (const std::string& login : plan.clear) {
    std::string payload = Seal(login, now_ms, "", true);
    if (payload.empty()) {
      refused.push_back(login + ": its removal could not be sealed (no MAC)");
      continue;
    }
    messages.push_back({OutgoingMessage::kRemoval, login, topic(login), std::move(payload), ""});
    messages.push_back({OutgoingMessage::kClear, login, topic(login), "", ""});
  }
  return messages;
}

void Publisher::Sent(const OutgoingMessage& message) {
  switch (message.kind) {
    case OutgoingMessage::kImage:
    case OutgoingMessage::kResealed:
      published_[message.login] = message.image;
      break;
    case OutgoingMessage::kRemoval:
      break;
    case OutgoingMessage::kClear:  // only now: a removal without its clear is sent again
      published_.erase(message.login);
      sealed_at_.erase(message.login);
      break;
  }
}
