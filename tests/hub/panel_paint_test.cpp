// The status panel's pixels: painted into a memory bitmap, and read off the screen from the
// running hub.
#include <windows.h>

#include <gtest/gtest.h>

#include "panel_paint_win.h"
#include "poll_until.h"
#include "running_hub.h"
#include "test_terminal.h"

namespace {

const COLORREF kBackground = RGB(240, 240, 240);
const COLORREF kRed = RGB(255, 0, 0);

// A 32-bit top-down bitmap in a memory device context.
class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(NULL);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), NULL, 0);
    previous_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(kBackground);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  ~MemoryCanvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    const uint32_t bgr = bits_[y * width_ + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
  }
  int Count(COLORREF colour, RECT area) const {
    int n = 0;
    for (int y = area.top; y < area.bottom && y < height_; y++)
      for (int x = area.left; x < area.right && x < width_; x++) n += Pixel(x, y) == colour;
    return n;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
  uint32_t* bits_ = nullptr;
};

HubSettings RedSettings() {
  return ReadHubSettings("<root><window><channel_id>paint</channel_id><text>"
                         "<font_color>FF0000</font_color></text></window></root>");
}

TEST(PanelPaint, RuleRunsFromLightBlueToWhiteOnRows155And156) {
  MemoryCanvas canvas(600, 260);
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

TEST(PanelPaint, ValuesInTheFontColourAndVersionRowsInBlack) {
  MemoryCanvas canvas(600, 260);
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
  MemoryCanvas canvas(600, 260);
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

}  // namespace
