// Remote masters registered with a real hub: their images make its set, in the order they came,
// they go when removed or when the relay ends, a hub that restarts gets them back, and markers
// keep them past the hub's expiry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hub_side_fixture_win.h"
#include "hub_subscription_win.h"
#include "link_protocol.h"
#include "poll_until.h"
#include "remote_masters_win.h"
#include "test_terminal.h"

namespace {

using HubSideRemoteMasters = HubSide;

const std::string kA1 = ImageOf("1001", 1);
const std::string kA2 = ImageOf("1001", 3);
const std::string kB = ImageOf("1002", 2);

struct Step {
  const char* what;
  const char* login;
  const std::string* image;  // nullptr: remove
  bool taken;
  std::string set_after;
};

TEST_F(HubSideRemoteMasters, AppliedImagesMakeTheHubsSet) {
  const Step steps[] = {
      {"a first master", "1001", &kA1, true, Header(1, 0) + kA1},
      {"a second comes after it", "1002", &kB, true, Header(2, 0) + kA1 + kB},
      {"a new image keeps its place", "1001", &kA2, true, Header(2, 0) + kA2 + kB},
      {"the second removed", "1002", nullptr, true, Header(1, 0) + kA2},
      {"removing an unknown login", "1003", nullptr, true, Header(1, 0) + kA2},
      {"back again, at the end", "1002", &kB, true, Header(2, 0) + kA2 + kB},
  };
  RemoteMasters remotes(channel_);
  ASSERT_TRUE(remotes.Running());
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.image) {
      EXPECT_EQ(remotes.Apply(step.login, *step.image), step.taken);
    } else {
      remotes.Remove(step.login);
    }
    const std::string set = FetchSet();
    EXPECT_EQ(set, step.set_after);
    if (step.image) {
      EXPECT_EQ(Published(), ChecksumOf(set));  // the image was accepted
    }
  }
  EXPECT_TRUE(remotes.Injected("1001"));
  EXPECT_TRUE(remotes.Injected("1002"));
  EXPECT_FALSE(remotes.Injected("1003"));
}

TEST_F(HubSideRemoteMasters, RefusesWhatIsNotOneImage) {
  RemoteMasters remotes(channel_);
  for (const std::string& text : {std::string(), kA1 + kB, std::string("<image>\n</image>\n")})
    EXPECT_FALSE(remotes.Apply("1001", text));
  EXPECT_EQ(FetchSet(), Header(0, 0));
  EXPECT_FALSE(remotes.Injected("1001"));
}

TEST_F(HubSideRemoteMasters, DetachesThemAllWhenItEnds) {
  {
    RemoteMasters remotes(channel_);
    ASSERT_TRUE(remotes.Apply("1001", kA1));
    ASSERT_TRUE(remotes.Apply("1002", kB));
    EXPECT_EQ(FetchSet(), Header(2, 0) + kA1 + kB);
  }
  EXPECT_EQ(FetchSet(), Header(0, 0));
}

TEST_F(HubSideRemoteMasters, AHubThatRestartsGetsThemBack) {
  RemoteMasters remotes(channel_);
  ASSERT_TRUE(remotes.Apply("1001", kA1));
  ASSERT_TRUE(remotes.Apply("1002", kB));
  remotes.Remove("1002");
  RestartHub();
  const std::string expected = Header(1, 0) + kA1;
  EXPECT_TRUE(PollUntil(kArrivalLimitMs, [&] { return FetchSet() == expected; }))
      << "got: " << FetchSet();
  EXPECT_EQ(Published(), ChecksumOf(expected));
}

TEST_F(HubSideRemoteMasters, KeepsAnImageUntilAHubRuns) {
  StopHub();
  RemoteMasters remotes(channel_);
  EXPECT_FALSE(remotes.Apply("1001", kA1));
  EXPECT_TRUE(remotes.Injected("1001"));
  StartHub();
  EXPECT_TRUE(PollUntil(kArrivalLimitMs, [&] { return FetchSet() == Header(1, 0) + kA1; }))
      << "got: " << FetchSet();
}

// Waits out the hub's expiry once, for both kinds of terminal the relay is.
TEST_F(HubSideRemoteMasters, BothSidesStayRegisteredPastTheExpiry) {
  SetLog sets;
  HubSubscription subscription(channel_, [&](const std::string& set) { sets.Add(set); });
  RemoteMasters remotes(channel_);
  ASSERT_TRUE(remotes.Apply("1001", kA1));
  // The subscription sees the injected master like any other; the login tells it apart.
  const std::string expected = Header(1, 1) + kA1;
  ASSERT_TRUE(sets.WaitForLast(kArrivalLimitMs, expected)) << "got: " << sets.Last();
  EXPECT_TRUE(remotes.Injected("1001"));

  Sleep(link::kExpiryMs + 2 * link::kExpiryCheckMs);
  EXPECT_EQ(FetchSet(), expected);
}

}  // namespace
