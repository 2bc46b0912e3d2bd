// The suite as built, installed for real: a distribution folder laid out as the setup tool
// expects, its three plans, and the hub started from the Dremont folder it was copied to.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "setup_process_win.h"

namespace {

TEST(SuiteInstall, ThreePlansInstallTheSuiteAndTheHubReadsItsSettingsWhereItWasPut) {
  SetupFolder distribution;
  for (const char* file : {"core\\Varnick.exe", "master\\qelv_d30or.dll", "slave\\qelv_r30uv.dll"}) {
    const std::string built = std::string(QELV_BIN_DIR) + (std::strchr(file, '\\') + 1);
    ASSERT_TRUE(CopyFileA(built.c_str(), (distribution / file).c_str(), FALSE)) << built;
  }
  // A channel id of this test alone: finding its window proves which settings the hub read.
  const std::string channel = "lobrine_install_" + std::to_string(GetCurrentProcessId());
  WriteFileText(distribution / "core\\qelv.xml",
                "<root><window><channel_id>" + channel + "</channel_id></window></root>");
  const std::string dremont = distribution / "Dremont", master = distribution / "MT4 Master",
                    slave = distribution / "MT4 Slave";
  MakeFolder(dremont);
  for (const std::string& terminal : {master, slave}) MakeTerminalFolder(terminal);

  for (const std::string& arguments : {"/install core \"" + dremont + "\"",
                                       "/install master \"" + master + "\"",
                                       "/install slave \"" + slave + "\""}) {
    SetupProcess install(distribution.program(), arguments);
    EXPECT_EQ(install.Wait(), 0) << arguments;
    EXPECT_EQ(install.Output(), "") << arguments;
  }
  EXPECT_TRUE(PathExists(master + "\\experts\\libraries\\qelv_d30or.dll"));
  EXPECT_TRUE(PathExists(slave + "\\experts\\libraries\\qelv_r30uv.dll"));
  ASSERT_EQ(ReadFileText(dremont + "\\qelv.xml"), ReadFileText(distribution / "core\\qelv.xml"));

  SetupProcess hub(dremont + "\\Varnick.exe");
  HWND hidden = NULL;
  std::vector<std::string> boxes;
  EXPECT_TRUE(AnswerBoxesUntil(hub, [&] {
    return (hidden = FindWindowA(channel.c_str(), NULL)) != NULL || hub.ExitCode() != STILL_ACTIVE;
  }, boxes));
  ASSERT_TRUE(hidden) << "the hub did not register the channel of its settings";
  DWORD owner = 0;
  GetWindowThreadProcessId(hidden, &owner);
  EXPECT_EQ(owner, hub.id());
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
