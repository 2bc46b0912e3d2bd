#include "relay_plan.h"

#include <algorithm>

#include "image_set_cut.h"
#include "relay_settings.h"

PublishPlan PlanPublishing(const ImageMap& current, const ImageMap& published,
                           const std::set<std::string>& injected) {
  PublishPlan plan;
  for (const auto& [login, image] : current) {
    if (injected.contains(login)) continue;
    if (!IsEnvelopeName(login)) {
      plan.unpublishable.push_back(login);
      continue;
    }
    auto before = published.find(login);
    if (before == published.end() || before->second != image) plan.publish.push_back(login);
  }
  for (const auto& [login, image] : published)
    if (!current.contains(login) && !injected.contains(login)) plan.clear.push_back(login);
  return plan;
}

IncomingDecision DecideIncoming(std::string_view topic, std::string_view payload,
                                const SubscriberView& view) {
  IncomingDecision d;
  std::string channel;
  if (!SplitMasterTopic(topic, view.topic_prefix, channel, d.login)) {
    d.reason = "not a master topic";
    return d;
  }
  if (channel != view.remote_channel) {
    d.reason = "wrong channel " + channel;
    return d;
  }
  if (!view.logins.empty() &&
      std::find(view.logins.begin(), view.logins.end(), d.login) == view.logins.end()) {
    d.reason = "login not in the logins list";
    return d;
  }
  if (view.own_logins.contains(d.login)) {
    d.reason = "a master this relay publishes itself";
    return d;
  }
  if (payload.empty()) {
    d.action = IncomingDecision::kRemove;
    return d;
  }
  const EnvelopeVerdict verdict = OpenEnvelope(payload, channel, d.login, view.mac, d.envelope);
  if (verdict != EnvelopeVerdict::kOpened) {
    d.reason = EnvelopeVerdictText(verdict);
    return d;
  }
  if (ImageLogin(d.envelope.image) != d.login) {
    d.reason = "image names another login than its envelope";
    return d;
  }
  if (!view.guard.IsFresh(channel, d.login, d.envelope.seq)) {
    d.reason = "replay: sequence " + std::to_string(d.envelope.seq) + " not above the last applied";
    return d;
  }
  d.action = IncomingDecision::kApply;
  return d;
}
