// Which of the slave experts sharing this library copies which master login: two experts in
// one terminal must not both copy a master. The first expert to claim a login copies it; its
// claim lasts while it claims again within 30 s, and ends at once when it releases its claims
// (its deinit). Experts are told apart by an id of their own, e.g. their chart; the clock is
// the caller's, in seconds, the same for every expert. Safe to call from the experts' threads.
// Before each plan an expert claims every login of the set it follows (FollowsMaster) and lists
// those another expert copies in SlaveState::copied_elsewhere: the plan leaves them alone.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

class LoginClaims {
 public:
  static constexpr int64_t kClaimLifetime = 30;

  // Claims (or renews the claim on) `login` for `expert` at `now` and returns the expert that
  // copies the login: `expert` itself, or the one whose live claim came first.
  int Claim(int expert, std::string_view login, int64_t now);

  // Ends every claim of `expert`.
  void Release(int expert);

 private:
  struct Holder {
    int expert;
    int64_t renewed;
  };
  std::mutex mutex_;
  std::map<std::string, Holder, std::less<>> holders_;
};

// "login 4711 is copied by the expert on chart 3"
std::string CopiedElsewhereText(std::string_view login, int expert);
