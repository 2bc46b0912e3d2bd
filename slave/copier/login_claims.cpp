#include "login_claims.h"

#include "fixed_point.h"

int LoginClaims::Claim(int expert, std::string_view login, int64_t now) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = holders_.find(login);
  if (found == holders_.end()) {
    holders_.emplace(std::string(login), Holder{expert, now});
    return expert;
  }
  Holder& holder = found->second;
  if (holder.expert != expert && now - holder.renewed >= kClaimLifetime) holder.expert = expert;
  if (holder.expert == expert) holder.renewed = now;
  return holder.expert;
}

void LoginClaims::Release(int expert) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase_if(holders_, [&](const auto& entry) { return entry.second.expert == expert; });
}

std::string CopiedElsewhereText(std::string_view login, int expert) {
  std::string text = "login ";
  text += login;
  text += " is copied by the expert on chart ";
  AppendInt(text, expert);
  return text;
}
