// Fifty slave terminals, each a simulator process of its own, poll the hub while a master
// publishes a new image every few hundred milliseconds: no fetch fails, and once the master
// stops changing, every slave holds the set whose checksum the hub publishes.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "in_process_master_win.h"
#include "poll_until.h"
#include "running_hub.h"
#include "simulator.h"
#include "spawned_program.h"
#include "test_terminal.h"

namespace {

const int kSlaves = 50;
const int kPollMs = 400;          // each slave's expert cycle
const int kPublishMs = 250;       // the master's pace while it changes
const DWORD kStartLimitMs = 120000;  // fifty Wine processes on two busy cores
const DWORD kLimitMs = 60000;

BOOL CALLBACK CloseChartOf(HWND window, LPARAM process) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner == static_cast<DWORD>(process) && lstrcmpA(name, "QelvSimChart") == 0)
    PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// Closes the simulated chart of `process`: the simulator then detaches and prints its summary.
void CloseChart(DWORD process) { EnumWindows(CloseChartOf, static_cast<LPARAM>(process)); }

TEST(SlaveLoad, FiftySlavesPollingWhileTheMasterPublishesAllConverge) {
  const std::string channel = UniqueChannel("load");
  RunningHub hub(SettingsFor(channel).c_str());
  HWND endpoint = hub.WaitForEndpoint(channel);
  ASSERT_NE(endpoint, nullptr) << "the hub did not start";
  TestTerminal observer(endpoint);
  InProcessMaster master(5150, 1);
  ASSERT_TRUE(master.Loaded());
  ASSERT_NE(master.FindHub(channel), 0);
  ASSERT_EQ(master.Marker(), 0);

  std::vector<std::unique_ptr<SpawnedProgram>> slaves;
  for (int i = 0; i < kSlaves; i++) {
    slaves.push_back(std::make_unique<SpawnedProgram>(Simulator(
        "slave --channel " + channel + " --poll " + std::to_string(kPollMs) + " --instance " +
        std::to_string(i + 1))));
    ASSERT_TRUE(slaves.back()->Started());
  }

  // The master publishes all along while the slaves come up, and some rounds more once all
  // of them are registered.
  int round = 0;
  auto publish = [&] {
    master.Marker();
    master.Publish(channel, 3, ++round);
    Sleep(kPublishMs);
  };
  ASSERT_TRUE(PollUntil(kStartLimitMs, [&] {
    publish();
    return observer.SlaveCount() == kSlaves;
  })) << "only " << observer.SlaveCount() << " slaves registered";
  for (int i = 0; i < 12; i++) publish();
  master.Publish(channel, 3, ++round);  // the last change
  const unsigned published = observer.PublishedChecksum();
  const std::string converged = "crc " + std::to_string(published) + ", split 1,";

  for (size_t i = 0; i < slaves.size(); i++)
    EXPECT_TRUE(slaves[i]->WaitForOutput(converged, kLimitMs))
        << "slave " << i + 1 << " did not reach the published set; it printed:\n"
        << slaves[i]->Output();
  EXPECT_EQ(observer.PublishedChecksum(), published);  // nothing changed it meanwhile

  for (const auto& slave : slaves) CloseChart(slave->ProcessId());
  const std::string summary = "failed 0, crc " + std::to_string(published) + "\n";
  for (size_t i = 0; i < slaves.size(); i++)
    EXPECT_TRUE(slaves[i]->WaitForOutput(summary, kLimitMs))
        << "slave " << i + 1 << " printed:\n" << slaves[i]->Output();
}

}  // namespace
