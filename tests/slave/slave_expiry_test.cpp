// A master that dies without detaching: the hub lets it expire (30 to 35 s after its last
// marker) while the slaves go on. This test waits that long.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "poll_until.h"
#include "road_helpers_win.h"
#include "running_hub.h"
#include "simulator.h"
#include "spawned_program.h"

namespace {

const DWORD kRoadLimitMs = 60000;
const DWORD kExpiryLimitMs = 60000;  // expiry takes up to 35 s; Wine on a busy machine more

TEST(SlaveExpiry, KilledMasterLeavesTheSetWhileSlavesKeepWorking) {
  const std::string channel = UniqueChannel("expiry");
  RunningHub hub(SettingsFor(channel).c_str());
  ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
  InProcessSlave slave;
  ASSERT_TRUE(slave.Ready());
  ASSERT_NE(slave.FindHub(channel), 0);
  SpawnedProgram other(Simulator("slave --channel " + channel + " --poll 200 --instance 2"));
  SpawnedProgram master(Simulator("master --channel " + channel + " --orders 2 --interval 200 --window 4242"));
  ASSERT_TRUE(other.Started() && master.Started());

  SetRead set;
  ASSERT_TRUE(PollUntil(kRoadLimitMs, [&] {
    slave.Marker(1);
    if (slave.PublishedChecksum() != slave.HeldChecksum()) set = slave.FetchAndRead();
    return set.images.size() == 1 && set.images[0].market.size() == 2;
  })) << "the master's image never arrived; it printed:\n" << master.Output();
  ASSERT_TRUE(other.WaitForOutput("market 2 history 0\n", kRoadLimitMs)) << other.Output();

  master.Kill();
  // Expiry does not change the published checksum, so the expert fetches on its own here.
  const DWORD killed_at = GetTickCount();
  bool gone = PollUntil(kExpiryLimitMs, [&] {
    EXPECT_EQ(slave.Marker(1), 0);
    set = slave.FetchAndRead();
    Sleep(450);
    return set.masters == 0;
  });
  EXPECT_TRUE(gone) << "the killed master still counts";
  EXPECT_TRUE(set.images.empty());
  EXPECT_EQ(set.split, 1);
  std::printf("the killed master left the set after %lu ms\n", GetTickCount() - killed_at);

  // Both slaves go on: a new master reaches them.
  EXPECT_TRUE(other.Running());
  SpawnedProgram next(Simulator("master --channel " + channel + " --orders 3 --interval 200 --window 4343"));
  EXPECT_TRUE(PollUntil(kRoadLimitMs, [&] {
    slave.Marker(1);
    if (slave.PublishedChecksum() != slave.HeldChecksum()) set = slave.FetchAndRead();
    return set.images.size() == 1 && set.images[0].market.size() == 3;
  }));
  EXPECT_TRUE(other.WaitForOutput("market 3 history 0\n", kRoadLimitMs)) << other.Output();
}

}  // namespace
