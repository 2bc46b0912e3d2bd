// Another process floods the hub with random and malformed copy-data frames, markers, detach
// messages and requests, and one hostile master sends large images over and over: the hub
// survives, keeps only what registered masters sent (its memory shows it), and a master and
// a slave that play by the rules go on undisturbed. (The link's own edge cases, one message
// at a time, are in tests/hub/hub_link_test.cpp.)
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "in_process_master_win.h"
#include "running_hub.h"
#include "simulator.h"
#include "spawned_program.h"

namespace {

const DWORD kLimitMs = 45000;
const UINT kSendLimitMs = 30000;
const SIZE_T kMiB = 1 << 20;

SIZE_T PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PagefileUsage : 0;
}

// Window values far above the handles Wine hands out: never a window, never a real terminal.
WPARAM StrangerWindow(std::mt19937& random) { return 0x40000000u + (random() & 0x3FFFFFFFu); }

class Flood {
 public:
  Flood(HWND hub, std::mt19937& random) : hub_(hub), random_(random) {}

  // False when the hub did not answer within the limit.
  bool Frame(WPARAM from, ULONG_PTR tag, size_t size, bool with_data = true) {
    std::vector<char> bytes(size);
    for (char& b : bytes) b = static_cast<char>(random_());
    COPYDATASTRUCT frame{tag, static_cast<DWORD>(size), with_data ? bytes.data() : nullptr};
    return Send(WM_COPYDATA, from, reinterpret_cast<LPARAM>(&frame));
  }
  bool Send(UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR answer = 0;
    sent_ += 1;
    return SendMessageTimeoutA(hub_, msg, wp, lp, SMTO_NORMAL, kSendLimitMs, &answer) != 0;
  }
  int Sent() const { return sent_; }

 private:
  HWND hub_;
  std::mt19937& random_;
  int sent_ = 0;
};

TEST(HostileInput, FloodLeavesTheHubAndTheTerminalsThatPlayByTheRulesWhole) {
  const std::string channel = UniqueChannel("hostile");
  RunningHub hub(SettingsFor(channel).c_str());
  HWND endpoint = hub.WaitForEndpoint(channel);
  ASSERT_NE(endpoint, nullptr) << "the hub did not start";
  InProcessMaster master(7070, 1);
  ASSERT_TRUE(master.Loaded());
  ASSERT_NE(master.FindHub(channel), 0);
  ASSERT_EQ(master.Marker(), 0);
  SpawnedProgram slave(Simulator("slave --channel " + channel + " --poll 200"));
  ASSERT_TRUE(slave.Started());
  master.Publish(channel, 4, 1);
  ASSERT_TRUE(slave.WaitForOutput("market 4 history 0\n", kLimitMs)) << slave.Output();
  const SIZE_T before = PrivateBytes(hub.Process());
  ASSERT_GT(before, 0u);

  std::mt19937 random(20091509);
  Flood flood(endpoint, random);
  const UINT link[] = {RegisterWindowMessageA("M_MARKER"), RegisterWindowMessageA("M_DEINIT"),
                       RegisterWindowMessageA("S_MARKER"), RegisterWindowMessageA("S_DEINIT"),
                       RegisterWindowMessageA("S_GET_IMAGE")};
  size_t flooded = 0;
  for (int i = 0; i < 3000; i++) {
    const WPARAM stranger = StrangerWindow(random);
    switch (random() % 4) {
      case 0: {  // a frame of any tag and size from a window no master owns: dropped
        const size_t size = random() % (64 << 10);
        ASSERT_TRUE(flood.Frame(stranger, random() % 2 ? 111 : random(), size));
        flooded += size;
        break;
      }
      case 1:  // frames without data, or no frame at all (which Wine refuses to carry)
        ASSERT_TRUE(flood.Frame(stranger, 111, random() % 1000, false));
        flood.Send(WM_COPYDATA, stranger, 0);
        break;
      case 2:  // markers and detach messages of strangers, with any instance
        ASSERT_TRUE(flood.Send(link[random() % 4], stranger, static_cast<LPARAM>(random())));
        break;
      case 3: {  // requests naming no window, or the broadcast handles
        const WPARAM nowhere[] = {stranger, 0, 0xFFFF, 0xFFFFFFFF};
        ASSERT_TRUE(flood.Send(link[4], nowhere[random() % 4], 0));
        break;
      }
    }
  }
  for (int i = 0; i < 40; i++, flooded += 3 * kMiB / 2)  // large images nobody registered
    ASSERT_TRUE(flood.Frame(StrangerWindow(random), 111, 3 * kMiB / 2));
  // A registered master that sends megabytes over and over: the hub keeps its latest only.
  const WPARAM hostile = StrangerWindow(random);
  ASSERT_TRUE(flood.Send(link[0], hostile, 9));
  for (int i = 0; i < 100; i++, flooded += kMiB)
    ASSERT_TRUE(flood.Frame(hostile, 111, kMiB - random() % 4096));
  ASSERT_TRUE(flood.Send(link[1], hostile, 9));
  const SIZE_T after = PrivateBytes(hub.Process());
  std::printf("%d messages, %lu MiB of frames; hub private bytes %lu -> %lu KiB\n", flood.Sent(),
              static_cast<unsigned long>(flooded / kMiB), static_cast<unsigned long>(before / 1024),
              static_cast<unsigned long>(after / 1024));
  EXPECT_LT(after, before + 48 * kMiB) << "the hub keeps what it should have dropped";

  // The master and the slave that play by the rules go on: a new image reaches the slave, and
  // the set it holds is the one whose checksum the hub publishes.
  ASSERT_EQ(master.Marker(), 0);
  master.Publish(channel, 4, 2);
  const unsigned published = static_cast<unsigned>(GetWindowLongPtrA(endpoint, GWLP_USERDATA));
  EXPECT_TRUE(slave.WaitForOutput("crc " + std::to_string(published) + ", split 1,", kLimitMs))
      << slave.Output();
  EXPECT_TRUE(slave.WaitForOutput(" num12 2 ", kLimitMs)) << slave.Output();
  EXPECT_TRUE(slave.Running());
  EXPECT_EQ(WaitForSingleObject(hub.Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace
