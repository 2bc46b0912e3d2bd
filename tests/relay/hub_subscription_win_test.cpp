// The relay as a slave of a real hub: it sees every publication and gets the set, stays
// registered, and follows the hub through a restart.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "hub_side_fixture_win.h"
#include "hub_subscription_win.h"
#include "test_terminal.h"

namespace {

class HubSideSubscription : public HubSide {
 protected:
  // Waits for the set the subscription fetches on finding the hub, itself its one slave.
  void WaitForFirstSet() {
    ASSERT_TRUE(sets_.WaitForLast(kArrivalLimitMs, Header(0, 1), after_))
        << "got: " << sets_.Last();
  }

  SetLog sets_;
  size_t after_ = 0;  // sets handed over before the one awaited
  HubSubscription::SetHandler log_ = [this](const std::string& set) { sets_.Add(set); };
};

TEST_F(HubSideSubscription, HandsOverTheSetOfEveryPublication) {
  HubSubscription subscription(channel_, log_);
  ASSERT_TRUE(subscription.Running());
  WaitForFirstSet();

  TestTerminal master(endpoint_);
  ASSERT_EQ(master.Send("M_MARKER", 501, 1), 0);
  // Each image changes the set; an empty one too, and one sent again unchanged is republished.
  const std::string images[] = {ImageOf("11", 1), ImageOf("11", 2), "", ImageOf("11", 2)};
  for (const std::string& image : images) {
    const size_t before = sets_.Count();
    const DWORD sent = GetTickCount();
    ASSERT_EQ(master.SendImage(501, image), 1);
    EXPECT_TRUE(sets_.WaitForLast(kArrivalLimitMs, Header(1, 1) + image, before))
        << "got: " << sets_.Last();
    std::printf("set handed over %lu ms after the image was sent\n", sets_.LastArrival() - sent);
    EXPECT_EQ(ChecksumOf(sets_.Last()), master.PublishedChecksum());
  }
}

TEST_F(HubSideSubscription, IsASlaveOfTheHubUntilItEnds) {
  {
    HubSubscription subscription(channel_, log_);
    WaitForFirstSet();
    EXPECT_EQ(FetchSet(), Header(0, 1));
  }
  EXPECT_EQ(FetchSet(), Header(0, 0));
}

TEST_F(HubSideSubscription, TakesNothingButTheHubsReplyToItsRequest) {
  HubSubscription subscription(channel_, log_);
  WaitForFirstSet();
  HWND window = FindWindowExA(HWND_MESSAGE, NULL, "QelvRelayLinkWindow", NULL);
  ASSERT_NE(window, nullptr);
  const std::string forged = Header(1, 0) + ImageOf("666", 1);
  // Unasked, from another window or naming the hub: either would go to the broker as ours.
  for (HWND sender : {HWND(NULL), window, endpoint_}) {
    COPYDATASTRUCT frame{111, static_cast<DWORD>(forged.size()), const_cast<char*>(forged.data())};
    EXPECT_EQ(SendMessageA(window, WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                           reinterpret_cast<LPARAM>(&frame)), 0);
  }
  // A call of the thread's own, named by a pointer from outside, is not made.
  EXPECT_EQ(SendMessageA(window, WM_APP + 1, 0, 0x10), 0);
  Sleep(200);
  EXPECT_EQ(sets_.Last(), Header(0, 1));
}

TEST_F(HubSideSubscription, FollowsTheHubThroughARestart) {
  HubSubscription subscription(channel_, log_);
  WaitForFirstSet();
  StopHub();
  Sleep(1000);
  const size_t while_away = sets_.Count();
  Sleep(1000);
  EXPECT_EQ(sets_.Count(), while_away) << "a set came from a hub that is gone";

  after_ = while_away;
  StartHub();
  WaitForFirstSet();
  TestTerminal master(endpoint_);
  ASSERT_EQ(master.Send("M_MARKER", 502, 1), 0);
  const std::string image = ImageOf("12", 1);
  ASSERT_EQ(master.SendImage(502, image), 1);
  EXPECT_TRUE(sets_.WaitForLast(kArrivalLimitMs, Header(1, 1) + image))
      << "got: " << sets_.Last();
}

TEST_F(HubSideSubscription, WaitsForAHubThatIsNotRunningYet) {
  StopHub();
  HubSubscription subscription(channel_, log_);
  Sleep(1000);
  EXPECT_EQ(sets_.Count(), 0u);
  StartHub();
  WaitForFirstSet();
}

}  // namespace
