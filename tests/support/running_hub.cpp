#include "running_hub.h"

#include "poll_until.h"

namespace {

const DWORD kStartLimitMs = 90000;  // the first Wine start in a fresh prefix is slow
const DWORD kExitLimitMs = 60000;

}  // namespace

RunningHub::RunningHub(const char* settings) {
  const std::string exe = folder_ / "Varnick.exe";
  if (!CopyFileA(QELV_BIN_DIR "Varnick.exe", exe.c_str(), FALSE)) return;
  if (settings) WriteFileText(folder_ / "qelv.xml", settings);
  process_.Start("\"" + exe + "\"", folder_.path().c_str());
}

HWND RunningHub::WaitForEndpoint(const std::string& channel) {
  HWND owner = 0;
  PollUntil(kStartLimitMs, [&] {
    HWND hidden = FindWindowA(channel.c_str(), NULL);
    owner = hidden ? GetWindow(hidden, GW_OWNER) : 0;
    return owner != 0 || !process_.Running();
  });
  return owner;
}

bool RunningHub::WaitForExit() { return process_.WaitForExit(kExitLimitMs); }

std::string SettingsFor(const std::string& channel) {
  return "<root><window><channel_id>" + channel +
         "</channel_id><text><font_color>FF0000</font_color></text></window></root>";
}

std::string UniqueChannel(const char* name) {
  return "qelv_test_" + std::string(name) + "_" + std::to_string(GetCurrentProcessId());
}
