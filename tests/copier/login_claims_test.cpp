#include "login_claims.h"

#include <gtest/gtest.h>

namespace {

struct ClaimStep {
  int expert;
  const char* login;  // nullptr: the expert releases its claims (deinit)
  int64_t at;
  int copier;         // the expert that copies the login afterwards
};

TEST(LoginClaims, FirstLiveClaimantCopies) {
  const ClaimStep steps[] = {
      {1, "4711", 0, 1},     // first claim
      {2, "4711", 5, 1},     // taken
      {2, "4712", 5, 2},     // another login is free
      {1, "4711", 20, 1},    // renewed
      {2, "4711", 49, 1},    // 29 s after the renewal: still live
      {2, "4711", 50, 2},    // 30 s without a call: expired, the other expert takes it
      {1, "4711", 55, 2},
      {2, nullptr, 56, 0},   // expert 2 deinits
      {1, "4711", 56, 1},    // at once free again
      {1, "4712", 56, 1},
      {2, "4712", 57, 1},    // expert 2 back: expert 1 holds both now
  };
  LoginClaims claims;
  for (const ClaimStep& step : steps) {
    if (!step.login) {
      claims.Release(step.expert);
      continue;
    }
    EXPECT_EQ(claims.Claim(step.expert, step.login, step.at), step.copier)
        << "expert " << step.expert << " login " << step.login << " at " << step.at;
  }
}

TEST(LoginClaims, TextForTheLog) {
  EXPECT_EQ(CopiedElsewhereText("4711", 3), "login 4711 is copied by the expert on chart 3");
}

}  // namespace
