#include "relay_publisher.h"

#include <algorithm>

Publisher::Publisher(const RelaySettings& settings, MacFunction mac)
    : settings_(settings), mac_(std::move(mac)) {}

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
  if (resend_)
    for (auto& [login, image] : on_broker) image.clear();
  resend_ = false;

  const PublishPlan plan = PlanPublishing(chosen, on_broker, injected);
  for (const std::string& login : plan.unpublishable)
    refused.push_back(login + ": a login that cannot stand in a topic");
  std::vector<OutgoingMessage> messages;
  for (const std::string& login : plan.publish) {
    last_seq_ = NextSequence(last_seq_, now_ms);
    const std::string& image = chosen.at(login);
    std::string payload =
        SealEnvelope({settings_.remote_channel, login, last_seq_, now_ms, image}, mac_);
    if (payload.empty()) {
      refused.push_back(login + ": the envelope could not be sealed (image too large or no MAC)");
      continue;
    }
    messages.push_back({login, MasterTopic(settings_.topic_prefix, settings_.remote_channel, login),
                        std::move(payload), image});
  }
  for (const std::string& login : plan.clear)
    messages.push_back(
        {login, MasterTopic(settings_.topic_prefix, settings_.remote_channel, login), "", ""});
  return messages;
}

void Publisher::Sent(const OutgoingMessage& message) {
  if (message.payload.empty())
    published_.erase(message.login);
  else
    published_[message.login] = message.image;
}
