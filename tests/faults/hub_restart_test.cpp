// The hub killed and started again: while it is gone both libraries answer as without a hub,
// at once, also from the endpoint they still hold; a new _find_window finds the new hub and
// the whole road works again, for the test's terminals and for a simulated slave alike.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "in_process_master_win.h"
#include "poll_until.h"
#include "road_helpers_win.h"
#include "running_hub.h"
#include "simulator.h"
#include "spawned_program.h"

namespace {

const DWORD kLimitMs = 60000;
const DWORD kCallLimitMs = 30000;  // a link call that has not returned by then hangs

DWORD WINAPI RunCall(void* call) {
  (*static_cast<std::function<void()>*>(call))();
  return 0;
}

// Runs `call` on a thread of its own; false when it has not returned within the limit.
bool ReturnsInTime(std::function<void()> call) {
  HANDLE thread = CreateThread(NULL, 0, RunCall, &call, 0, NULL);
  if (!thread) return false;
  const bool returned = WaitForSingleObject(thread, kCallLimitMs) == WAIT_OBJECT_0;
  if (!returned) TerminateThread(thread, 1);
  CloseHandle(thread);
  return returned;
}

std::string SetLine(unsigned checksum) { return "crc " + std::to_string(checksum) + ", split 1,"; }

TEST(HubRestart, LibrariesAnswerNoHubWhileItIsGoneAndWorkAgainAfterFindWindow) {
  const std::string channel = UniqueChannel("restart");
  auto hub = std::make_unique<RunningHub>(SettingsFor(channel).c_str());
  ASSERT_NE(hub->WaitForEndpoint(channel), nullptr) << "the hub did not start";
  InProcessSlave slave;
  InProcessMaster master(4711, 1);
  ASSERT_TRUE(slave.Ready() && master.Loaded());
  SpawnedProgram other(Simulator("slave --channel " + channel + " --poll 200 --instance 2"));
  ASSERT_TRUE(other.Started());

  ASSERT_NE(slave.FindHub(channel), 0);
  ASSERT_NE(master.FindHub(channel), 0);
  ASSERT_EQ(slave.Marker(1), 0);
  ASSERT_EQ(master.Marker(), 0);
  ASSERT_TRUE(other.WaitForOutput("hub found\n", kLimitMs)) << other.Output();
  master.Publish(channel, 3, 1);
  slave.FetchAndRead();
  ASSERT_NE(slave.PublishedChecksum(), 0);
  ASSERT_EQ(slave.HeldChecksum(), slave.PublishedChecksum());
  const int held = slave.HeldChecksum();

  hub.reset();  // killed: no detach, no goodbye
  ASSERT_TRUE(PollUntil(kLimitMs, [&] { return FindWindowA(channel.c_str(), NULL) == NULL; }));

  // First with the endpoint both libraries still hold, then after a search that finds nothing.
  for (const char* when : {"with the stale endpoint", "after _find_window"}) {
    SCOPED_TRACE(when);
    int answers[6] = {7, 7, 7, 7, 7, 7};
    ASSERT_TRUE(ReturnsInTime([&] {
      answers[0] = slave.Marker(1);
      answers[1] = slave.PublishedChecksum();
      answers[2] = slave.Fetch();
      answers[3] = master.Marker();
      answers[4] = master.Detach();
      master.Publish(channel, 3, 2);  // sends nothing
      answers[5] = slave.HeldChecksum();
    })) << "a library call hung without its hub";
    EXPECT_EQ(answers[0], -1);
    EXPECT_EQ(answers[1], 0);
    EXPECT_EQ(answers[2], -1);
    EXPECT_EQ(answers[3], -1);
    EXPECT_EQ(answers[4], -1);
    EXPECT_EQ(answers[5], held);  // the set held stays
    EXPECT_EQ(slave.FindHub(channel), 0);
    EXPECT_EQ(master.FindHub(channel), 0);
  }
  EXPECT_TRUE(other.WaitForOutput("no hub\n", kLimitMs)) << other.Output();

  hub = std::make_unique<RunningHub>(SettingsFor(channel).c_str());
  ASSERT_NE(hub->WaitForEndpoint(channel), nullptr) << "the hub did not start again";
  ASSERT_NE(slave.FindHub(channel), 0);
  ASSERT_NE(master.FindHub(channel), 0);
  EXPECT_EQ(slave.Marker(1), 0);
  EXPECT_EQ(master.Marker(), 0);
  // Both slaves registered before the image, so that its published set is the one they fetch.
  ASSERT_TRUE(PollUntil(kLimitMs, [&] { return slave.FetchAndRead().slaves == 2; }));
  master.Publish(channel, 3, 3);
  const int published = slave.PublishedChecksum();
  ASSERT_NE(published, 0);
  const SetRead set = slave.FetchAndRead();
  EXPECT_EQ(slave.HeldChecksum(), published);
  ASSERT_EQ(set.images.size(), 1u);
  ASSERT_EQ(set.images[0].market.size(), 3u);
  EXPECT_EQ(set.images[0].market[2].num12, 3);
  EXPECT_TRUE(other.WaitForOutput(SetLine(static_cast<unsigned>(published)), kLimitMs))
      << other.Output();
}

}  // namespace
