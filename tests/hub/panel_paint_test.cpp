// The status panel's pixels: painted into a memory bitmap, and read off the screen from the
// running hub.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>

#include "memory_canvas_win.h"
#include "panel_paint_win.h"
#include "panel_values.h"
#include "poll_until.h"
#include "running_hub.h"
#include "test_terminal.h"
#include "time_stamp.h"

namespace {

const COLORREF kBackground = RGB(240, 240, 240);
const COLORREF kRed = RGB(255, 0, 0);

HubSettings RedSettings() {
  return ReadHubSettings("<root><window><channel_id>paint</channel_id><text>"
                         "<font_color>FF0000</font_color></text></window></root>");
}

TEST(PanelPaint, RuleRunsFromLightBlueToWhiteOnRows155And156) {
  MemoryCanvas canvas(600, 260, kBackground);
  const HubSettings settings = RedSettings();
  const std::string stamp = "2009.09.15  08:05:03";
  PaintContent(canvas.dc(), {settings, {2, 3}, 12345, stamp});

  for (int row : {155, 156}) {
    EXPECT_EQ(canvas.Pixel(25, row), RGB(170, 170, 255)) << row;
    EXPECT_EQ(canvas.Pixel(242, row), RGB(212, 212, 255)) << row;
    EXPECT_EQ(canvas.Pixel(460, row), RGB(255, 255, 255)) << row;
    EXPECT_EQ(canvas.Pixel(24, row), kBackground) << row;
    EXPECT_EQ(canvas.Pixel(461, row), kBackground) << row;
  }
  EXPECT_EQ(canvas.Pixel(100, 154), kBackground);
  EXPECT_EQ(canvas.Pixel(100, 157), kBackground);
}

// The rule as it was drawn before the device context's own pen served: one pen created,
// selected and deleted for every column. Kept here only as the reference of its pixels.
void PaintRuleWithAPenPerColumn(HDC dc) {
  for (int column = kRuleFirst; column <= kRuleLast; column++) {
    const int level = RuleLevel(column);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(level, level, 255));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, column, kRuleTop, nullptr);
    LineTo(dc, column, kRuleTop + 2);
    SelectObject(dc, previous);
    DeleteObject(pen);
  }
}

struct RuleClip {
  const char* name;
  RECT clip;  // what the paint may touch
};

void PrintTo(const RuleClip& c, std::ostream* os) { *os << c.name; }

class PanelRule : public testing::TestWithParam<RuleClip> {};

TEST_P(PanelRule, PixelsAreThoseOfAPenPerColumnAndTheDeviceContextKeepsItsPen) {
  const RECT clip = GetParam().clip;
  const HubSettings settings = RedSettings();
  const std::string stamp = "2009.09.15  08:05:03";
  MemoryCanvas painted(600, 260, kBackground), reference(600, 260, kBackground);
  IntersectClipRect(painted.dc(), clip.left, clip.top, clip.right, clip.bottom);
  IntersectClipRect(reference.dc(), clip.left, clip.top, clip.right, clip.bottom);

  const HGDIOBJ pen = GetCurrentObject(painted.dc(), OBJ_PEN);
  const COLORREF pen_colour = GetDCPenColor(painted.dc());
  PaintContent(painted.dc(), {settings, {2, 3}, 12345, stamp});
  PaintRuleWithAPenPerColumn(reference.dc());
  EXPECT_EQ(GetCurrentObject(painted.dc(), OBJ_PEN), pen);
  EXPECT_EQ(GetDCPenColor(painted.dc()), pen_colour);

  // Rows around the rule hold nothing else with this layout.
  int differing = 0;
  for (int y = kRuleTop - 5; y < kRuleTop + 7; y++)
    for (int x = 0; x < 600; x++) differing += painted.Pixel(x, y) != reference.Pixel(x, y);
  EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Clips, PanelRule,
    testing::Values(RuleClip{"WholePanel", {0, 0, 600, 260}},
                    RuleClip{"LowerRowOnly", {0, kRuleTop + 1, 600, kRuleTop + 2}},
                    RuleClip{"RightEnd", {400, kRuleTop - 5, 470, kRuleTop + 7}},
                    RuleClip{"ValueRegionOnly", kPanelRegion}),
    [](const testing::TestParamInfo<RuleClip>& info) { return std::string(info.param.name); });

TEST(PanelPaint, ValuesInTheFontColourAndVersionRowsInBlack) {
  MemoryCanvas canvas(600, 260, kBackground);
  const HubSettings settings = RedSettings();
  const std::string stamp = "2009.09.15  08:05:03";
  PaintContent(canvas.dc(), {settings, {2, 3}, 0, stamp});

  // Each value (from x + dx = 202 on) has pixels in the font colour; so do the labels.
  for (int row = 0; row < 4; row++) {
    const int top = settings.y + row * settings.dy;
    EXPECT_GT(canvas.Count(kRed, {202, top, 420, top + settings.dy}), 10) << row;
    EXPECT_GT(canvas.Count(kRed, {22, top, 150, top + settings.dy}), 10) << row;
  }
  const RECT version_rows{200, 175, 600, 245};
  EXPECT_GT(canvas.Count(RGB(0, 0, 0), version_rows), 50);
  EXPECT_EQ(canvas.Count(kRed, version_rows), 0);
}

TEST(PanelPaint, NoSettingsDrawsEverythingAtTheTopLeftCorner) {
  MemoryCanvas canvas(600, 260, kBackground);
  const HubSettings unread;  // black, font size 0, layout 0
  const std::string stamp;
  PaintContent(canvas.dc(), {unread, {0, 0}, 0, stamp});
  EXPECT_GT(canvas.Count(RGB(0, 0, 0), {0, 0, 150, 40}), 10);
  EXPECT_EQ(canvas.Count(RGB(0, 0, 0), {0, 60, 190, 150}), 0);
  EXPECT_EQ(canvas.Pixel(25, 155), RGB(170, 170, 255));
}

// The screen as the user sees it: Wine under Xvfb draws the hub's dialog on the X screen.
TEST(PanelOnScreen, RunningHubShowsTheRuleAndItsValues) {
  const std::string channel = UniqueChannel("screen");
  RunningHub hub(SettingsFor(channel).c_str());
  HWND endpoint = hub.WaitForEndpoint(channel);
  ASSERT_NE(endpoint, nullptr);
  TestTerminal t(endpoint);
  ASSERT_EQ(t.Send("M_MARKER", 9, 1), 0);

  POINT origin{0, 0};
  ClientToScreen(endpoint, &origin);
  HDC screen = GetDC(NULL);
  auto pixel = [&](int x, int y) { return GetPixel(screen, origin.x + x, origin.y + y); };
  // Painting happens after start-up; poll until the rule is there.
  PollUntil(30000, [&] { return pixel(25, 155) == RGB(170, 170, 255); });
  EXPECT_EQ(pixel(25, 155), RGB(170, 170, 255));
  EXPECT_EQ(pixel(25, 156), RGB(170, 170, 255));
  EXPECT_EQ(pixel(460, 155), RGB(255, 255, 255));
  EXPECT_EQ(pixel(460, 156), RGB(255, 255, 255));
  int red = 0;
  for (int y = 16; y < 46; y++)
    for (int x = 202; x < 320; x++) red += pixel(x, y) == kRed;
  EXPECT_GT(red, 10);  // "1m/0s" in the settings' font colour
  ReleaseDC(NULL, screen);
}

// The running hub's value rows against the same rows painted here: after every accepted
// image the checksum row shows the published checksum and the time-stamp row the time of that
// image (before the first image: "n/a" and the time the hub started).
TEST(PanelOnScreen, ValueRowsShowThePublishedChecksumAndTheTimeOfTheImage) {
  const std::string channel = UniqueChannel("values");
  const std::string settings_text = SettingsFor(channel);
  const HubSettings settings = ReadHubSettings(settings_text);
  std::time_t since = std::time(nullptr), until = since;
  RunningHub hub(settings_text.c_str());
  HWND endpoint = hub.WaitForEndpoint(channel);
  ASSERT_NE(endpoint, nullptr);
  TestTerminal t(endpoint);
  ASSERT_EQ(t.Send("M_MARKER", 9, 1), 0);

  RECT client{};
  GetClientRect(endpoint, &client);
  POINT origin{0, 0};
  ClientToScreen(endpoint, &origin);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  auto row = [&](int i) {
    return RECT{settings.x + settings.dx, settings.y + i * settings.dy, client.right,
                settings.y + (i + 1) * settings.dy};
  };
  const RECT checksum_row = row(2), time_row = row(3);

  for (const char* image : {static_cast<const char*>(nullptr), "<image>\nfirst</image>\n",
                            "<image>\nsecond</image>\n"}) {
    if (image) {
      // In a second of its own, so that a time stamp left from before cannot pass for it.
      PollUntil(5000, [&] { return std::time(nullptr) > until; });
      since = std::time(nullptr);
      ASSERT_EQ(t.SendImage(9, image), 1);
    }
    until = std::time(nullptr);
    const uint32_t published = t.PublishedChecksum();
    EXPECT_EQ(published == 0, image == nullptr);

    bool checksum_shown = false, time_shown = false;
    int red_on_screen = 0;
    PollUntil(30000, [&] {
      MemoryCanvas screen(client.right, client.bottom, face);
      screen.CopyScreen(origin);
      red_on_screen = std::min(screen.Count(kRed, checksum_row), screen.Count(kRed, time_row));
      // The hub stamps the image somewhere between the two readings of the clock.
      for (std::time_t second = since; second <= until; second++) {
        const std::string stamp = FormatTimeStamp(*std::localtime(&second));
        MemoryCanvas expected(client.right, client.bottom, face);
        PaintContent(expected.dc(), {settings, {1, 0}, published, stamp});
        checksum_shown = screen.SameShape(expected, kRed, checksum_row);
        time_shown = screen.SameShape(expected, kRed, time_row);
        if (checksum_shown && time_shown) return true;
      }
      return false;
    });
    EXPECT_GT(red_on_screen, 10);  // both rows hold text: the comparison has something to see
    EXPECT_TRUE(checksum_shown) << ChecksumValue(published);
    EXPECT_TRUE(time_shown) << (image ? image : "before the first image");
  }
}

}  // namespace
