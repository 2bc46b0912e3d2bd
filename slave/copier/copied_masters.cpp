#include "copied_masters.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "login_claims.h"

std::vector<const TImage*> CopiedMasters(std::span<const TImage> masters, const SlaveState& slave,
                                         const CopySettings& settings, std::vector<std::string>& log) {
  std::vector<const TImage*> copied;
  std::set<std::string_view> logins;
  for (const TImage& image : masters) {
    auto elsewhere = std::find_if(slave.copied_elsewhere.begin(), slave.copied_elsewhere.end(),
                                  [&](const LoginCopiedElsewhere& other) { return other.login == image.login; });
    if (elsewhere != slave.copied_elsewhere.end()) {
      log.push_back(CopiedElsewhereText(image.login, elsewhere->expert));
      continue;
    }
    if (!FollowsMaster(settings, image.login)) {
      log.push_back("skip master " + image.login + ": not among the followed masters");
      continue;
    }
    if (!logins.insert(image.login).second) {
      log.push_back("skip master " + image.login + ": a second image of this login");
      continue;
    }
    copied.push_back(&image);
  }
  return copied;
}
