// A slave terminal whose user-interface thread hangs: the hub's reply to it waits a bounded
// time, so the master keeps publishing, the other slaves keep following and the hub's own
// timer keeps dropping silent terminals while it hangs. (Other terminals' messages would be
// handled even inside an endless wait, nested in it; the timer would not.)
#include <windows.h>

#include <gtest/gtest.h>

#include "in_process_master_win.h"
#include "poll_until.h"
#include "running_hub.h"
#include "simulator.h"
#include "spawned_program.h"
#include "test_terminal.h"

namespace {

const DWORD kLimitMs = 45000;
const DWORD kExpiryLimitMs = 50000;  // 30 to 35 s, and Wine on a busy machine

TEST(HungTerminal, OtherTerminalsGoOnWhileOneSlaveHangs) {
  const std::string channel = UniqueChannel("hung");
  RunningHub hub(SettingsFor(channel).c_str());
  HWND endpoint = hub.WaitForEndpoint(channel);
  ASSERT_NE(endpoint, nullptr) << "the hub did not start";
  TestTerminal observer(endpoint);
  InProcessMaster master(6160, 1);
  ASSERT_TRUE(master.Loaded());
  ASSERT_NE(master.FindHub(channel), 0);
  ASSERT_EQ(master.Marker(), 0);
  master.Publish(channel, 2, 1);

  // Hangs after its first set, far longer than this test runs; its expert keeps asking.
  SpawnedProgram hung(Simulator("slave --channel " + channel + " --poll 100 --hang-ui 600000"));
  SpawnedProgram healthy(Simulator("slave --channel " + channel + " --poll 100 --instance 2"));
  ASSERT_TRUE(hung.Started() && healthy.Started());
  ASSERT_TRUE(hung.WaitForOutput("ui hangs for", kLimitMs)) << hung.Output();

  // Each change is answered while the hung slave's requests hold the hub in bounded waits.
  for (int round = 2; round <= 4; round++) {
    ASSERT_EQ(master.Marker(), 0);
    master.Publish(channel, 2, round);
    // The set the healthy slave fetches counts both slaves, as did the published one.
    const std::string line = "market 1: num1 3001 num2 1252972860 type 1 lots 0.2 symbol \"EURUSD\""
                             " price6 1.08355 price7 1.07 price8 1.09 close_time 0 close_price 0"
                             " num11 1 num12 " + std::to_string(round) + " ";
    EXPECT_TRUE(healthy.WaitForOutput(line, kLimitMs))
        << "round " << round << ": the healthy slave printed:\n" << healthy.Output();
  }

  // A terminal that falls silent now is dropped by the timer, while the hung slave's expert,
  // back from each bounded wait, keeps asking for the set it cannot take.
  ASSERT_EQ(observer.Send("S_MARKER", 6161, 1), 0);
  ASSERT_EQ(observer.SlaveCount(), 3);
  EXPECT_TRUE(PollUntil(kExpiryLimitMs, [&] {
    Sleep(500);
    return observer.SlaveCount() == 2;
  })) << "the silent terminal was not dropped";
  EXPECT_EQ(hung.Output().find("ui pumps again"), std::string::npos) << "it did not hang throughout";
  EXPECT_TRUE(WaitForSingleObject(hub.Process(), 0) == WAIT_TIMEOUT);
}

}  // namespace
