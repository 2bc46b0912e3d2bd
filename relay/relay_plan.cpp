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
    d.reason = "unsigned removal (an empty message)";
    return d;
  }
  const EnvelopeVerdict verdict = OpenEnvelope(payload, channel, d.login, view.mac, d.envelope);
  if (verdict != EnvelopeVerdict::kOpened) {
    d.reason = EnvelopeVerdictText(verdict);
    return d;
  }
  if (!d.envelope.removed && ImageLogin(d.envelope.image) != d.login) {
    d.reason = "image names another login than its envelope";
    return d;
  }
  // Whatever its sequence: a relay without its sequence file knows no other bound. The time is
  // never negative and the clock is taken as not before 1970, so no difference overflows.
  const int64_t now_ms = std::max<int64_t>(view.now_ms, 0), sealed_ms = d.envelope.time_ms;
  const auto seconds = [](int64_t ms) { return std::to_string(ms / 1000) + " s"; };
  if (now_ms > sealed_ms && now_ms - sealed_ms > view.max_age_ms) {
    d.reason = "stale: sealed " + seconds(now_ms - sealed_ms) + " ago, more than the " +
               seconds(view.max_age_ms) + " allowed";
    return d;
  }
  if (sealed_ms > now_ms && sealed_ms - now_ms > view.max_age_ms) {
    d.reason = "sealed " + seconds(sealed_ms - now_ms) +
               " ahead of this computer's clock, more than the " + seconds(view.max_age_ms) +
               " allowed: check both clocks";
    return d;
  }
  if (view.guard.IsBehind(channel, d.login, d.envelope.seq)) {
    d.reason = "replay: sequence " + std::to_string(d.envelope.seq) + " below the last applied " +
               std::to_string(view.guard.Last(channel, d.login));
    return d;
  }
  d.action = d.envelope.removed ? IncomingDecision::kRemove : IncomingDecision::kApply;
  return d;
}
