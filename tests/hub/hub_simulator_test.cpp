// The terminal simulator as a master in front of the real hub: the road of a change from the
// master library through Varnick.exe to a slave's window.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "run_program.h"
#include "running_hub.h"
#include "simulator.h"
#include "temp_file.h"
#include "test_terminal.h"

namespace {

// The crc of the last "image N: ..., crc C" line.
uint32_t LastPrintedChecksum(const std::string& output) {
  size_t at = output.rfind("crc ");
  return at == std::string::npos ? 0 : static_cast<uint32_t>(std::strtoul(output.c_str() + at + 4, nullptr, 10));
}

TEST(HubWithSimulatedMaster, CrashedMasterLeavesItsLastImage) {
  const std::string channel = UniqueChannel("sim_crash");
  RunningHub hub(SettingsFor(channel).c_str());
  HWND endpoint = hub.WaitForEndpoint(channel);
  ASSERT_NE(endpoint, nullptr);

  const TempFile scenario(
      "scenario.txt",
      "login 4711\n"
      "open 1001 buy 0.10 EURUSD 1.08345\n"
      "open 1002 sell 1 GBPUSD 1.5 1.6 1.4 hedge\n"
      "wait 300\n"
      "close 1002 1.45\n");
  DWORD exit_code = 0;
  std::string output;
  ASSERT_TRUE(RunProgram(Simulator("master --channel " + channel + " --window 77 --instance 5 "
                                   "--interval 100 --crash --scenario \"" + scenario.Path() + "\""),
                         exit_code, output));
  EXPECT_EQ(exit_code, 3u) << output;
  EXPECT_NE(output.find("image 1: 2 market, 0 history"), std::string::npos) << output;
  EXPECT_NE(output.find("image 2: 1 market, 1 history"), std::string::npos) << output;

  TestTerminal t(endpoint);
  ASSERT_EQ(t.RequestImageSet(), 0);
  const std::string set = t.LastImageSet();
  EXPECT_EQ(set.rfind("<master_cnt>1</master_cnt>\n<slave_cnt>0</slave_cnt>\n<image>\n", 0), 0u) << set;
  EXPECT_NE(set.find("<channel_id>" + channel + "</channel_id>\n<login>4711</login>\n"), std::string::npos);
  EXPECT_NE(set.find("\t1.45000\t0\t0\thedge</history>\n"), std::string::npos) << set;
  EXPECT_EQ(t.PublishedChecksum(), ChecksumOf(set));

  // The image inside the set is the one whose checksum the master printed last.
  const std::string image = set.substr(set.find("<image>\n"));
  EXPECT_EQ(ChecksumOf(image), LastPrintedChecksum(output));

  // Its window stays taken until it expires: the crashed master never detached.
  EXPECT_EQ(t.Send("M_MARKER", 77, 6), 1);
}

TEST(HubWithSimulatedMaster, MasterDetachesAtItsEnd) {
  const std::string channel = UniqueChannel("sim_end");
  RunningHub hub(SettingsFor(channel).c_str());
  HWND endpoint = hub.WaitForEndpoint(channel);
  ASSERT_NE(endpoint, nullptr);

  DWORD exit_code = 0;
  std::string output;
  ASSERT_TRUE(RunProgram(Simulator("master --channel " + channel + " --orders 3 --interval 100 --duration 500"),
                         exit_code, output));
  EXPECT_EQ(exit_code, 0u) << output;
  EXPECT_EQ(output.rfind("image 1: 3 market, 0 history, crc ", 0), 0u) << output;

  TestTerminal t(endpoint);
  const uint32_t published = t.PublishedChecksum();
  EXPECT_NE(published, 0u);
  ASSERT_EQ(t.RequestImageSet(), 0);
  EXPECT_EQ(t.LastImageSet(), "<master_cnt>0</master_cnt>\n<slave_cnt>0</slave_cnt>\n");
}

}  // namespace
