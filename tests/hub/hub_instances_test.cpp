// Hub processes side by side: one per channel id, and what a hub does without its settings.
#include <windows.h>

#include <gtest/gtest.h>

#include "poll_until.h"
#include "running_hub.h"
#include "test_terminal.h"

namespace {

TEST(HubInstances, SecondHubOfAChannelEndsAndTheFirstStays) {
  const std::string channel = UniqueChannel("twice");
  RunningHub first(SettingsFor(channel).c_str());
  HWND endpoint = first.WaitForEndpoint(channel);
  ASSERT_NE(endpoint, nullptr);
  TestTerminal t(endpoint);
  ASSERT_EQ(t.Send("M_MARKER", 1, 1), 0);

  RunningHub second(SettingsFor(channel).c_str());
  ASSERT_TRUE(second.Started());
  EXPECT_TRUE(second.WaitForExit());

  HWND hidden = FindWindowA(channel.c_str(), NULL);
  ASSERT_NE(hidden, nullptr);
  EXPECT_EQ(GetWindow(hidden, GW_OWNER), endpoint);
  EXPECT_EQ(t.Send("M_MARKER", 1, 2), 1);  // the first hub still holds its registry
  EXPECT_TRUE(IsWindowVisible(endpoint));
}

TEST(HubInstances, SecondHubRestoresAMinimisedFirstAndItsPanel) {
  const std::string channel = UniqueChannel("restore");
  RunningHub first(SettingsFor(channel).c_str());
  HWND endpoint = first.WaitForEndpoint(channel);
  ASSERT_NE(endpoint, nullptr);
  ShowWindow(endpoint, SW_MINIMIZE);
  ASSERT_TRUE(PollUntil(30000, [&] { return IsIconic(endpoint) != FALSE; }));

  RunningHub second(SettingsFor(channel).c_str());
  ASSERT_TRUE(second.Started());
  EXPECT_TRUE(second.WaitForExit());
  // The second hub's request is answered before it ends; the poll only allows for Wine.
  PollUntil(30000, [&] { return !IsIconic(endpoint); });
  EXPECT_FALSE(IsIconic(endpoint));
  EXPECT_TRUE(IsWindowVisible(endpoint));

  // Restored, the whole panel is painted again, not the icon: the rule's first column.
  POINT origin{0, 0};
  ClientToScreen(endpoint, &origin);
  HDC screen = GetDC(NULL);
  auto rule_shown = [&] { return GetPixel(screen, origin.x + 25, origin.y + 155) == RGB(170, 170, 255); };
  PollUntil(30000, rule_shown);
  EXPECT_TRUE(rule_shown());
  ReleaseDC(NULL, screen);
}

TEST(HubInstances, HubsOfDifferentChannelsRunSideBySide) {
  const std::string a = UniqueChannel("side_a"), b = UniqueChannel("side_b");
  RunningHub hub_a(SettingsFor(a).c_str());
  RunningHub hub_b(SettingsFor(b).c_str());
  HWND endpoint_a = hub_a.WaitForEndpoint(a), endpoint_b = hub_b.WaitForEndpoint(b);
  ASSERT_NE(endpoint_a, nullptr);
  ASSERT_NE(endpoint_b, nullptr);
  EXPECT_NE(endpoint_a, endpoint_b);

  TestTerminal ta(endpoint_a), tb(endpoint_b);
  EXPECT_EQ(ta.Send("M_MARKER", 1, 1), 0);
  EXPECT_EQ(tb.Send("M_MARKER", 1, 2), 0);  // the same window on another channel is free
  EXPECT_EQ(ta.SendImage(1, "<image>\na</image>\n"), 1);
  EXPECT_NE(ta.PublishedChecksum(), 0u);
  EXPECT_EQ(tb.PublishedChecksum(), 0u);
}

struct TextSearch {
  DWORD process;
  std::string texts;
};

BOOL CALLBACK AddChildText(HWND child, LPARAM param) {
  char text[1024];
  GetWindowTextA(child, text, sizeof text);
  reinterpret_cast<TextSearch*>(param)->texts += std::string(text) + "\n";
  return TRUE;
}

BOOL CALLBACK AddTextsOfProcess(HWND window, LPARAM param) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == reinterpret_cast<TextSearch*>(param)->process) EnumChildWindows(window, AddChildText, param);
  return TRUE;
}

// The texts of the controls in a process's top-level windows.
std::string WindowTexts(DWORD process) {
  TextSearch search{process, {}};
  EnumWindows(AddTextsOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.texts;
}

TEST(HubInstances, MissingSettingsFileIsReported) {
  RunningHub hub(nullptr);
  ASSERT_TRUE(hub.Started());
  std::string texts;
  PollUntil(90000, [&] {
    texts = WindowTexts(hub.ProcessId());
    return texts.find("LoadXml") != std::string::npos;
  });
  EXPECT_NE(texts.find("LoadXml: CreateFile failed \r\nErrorCode: 2 \r\nErrorMessage: "),
            std::string::npos)
      << texts;
  EXPECT_NE(texts.find("\\qelv.xml"), std::string::npos) << texts;
}

}  // namespace
