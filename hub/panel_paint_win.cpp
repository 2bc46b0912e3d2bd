#include "panel_paint_win.h"

#include <cstdlib>

#include "panel_values.h"

namespace {

// The maker's rows: fixed texts of the product.
const char kNoticeLabel[] = "Notice:";
const char kNotice[] = "Dremont software, all rights reserved";
const char kWebAddress[] = "dremont.example";

const COLORREF kShadow = RGB(250, 250, 250);
const int kVersionTop = 180;  // the first version row; the others follow below it

// A font of `tenths` of a point on this device, as a point size is meant on the screen.
HFONT CreatePointFont(HDC dc, int tenths, const char* face) {
  LOGFONTA font{};
  font.lfHeight = -std::abs(MulDiv(tenths, GetDeviceCaps(dc, LOGPIXELSY), 720));
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

void Text(HDC dc, int x, int y, const std::string& text) {
  TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// A light copy one pixel up and left, then the text in black: the text looks engraved.
void ShadowText(HDC dc, int x, int y, const std::string& text) {
  SetTextColor(dc, kShadow);
  Text(dc, x - 1, y - 1, text);
  SetTextColor(dc, RGB(0, 0, 0));
  Text(dc, x, y, text);
}

// One column at a time in the device context's own pen, recoloured per column: no pen is
// created for the rule's hundreds of colours.
void PaintRule(HDC dc) {
  HGDIOBJ previous_pen = SelectObject(dc, GetStockObject(DC_PEN));
  const COLORREF previous_colour = GetDCPenColor(dc);
  for (int column = kRuleFirst; column <= kRuleLast; column++) {
    const int level = RuleLevel(column);
    SetDCPenColor(dc, RGB(level, level, 255));
    MoveToEx(dc, column, kRuleTop, nullptr);
    LineTo(dc, column, kRuleTop + 2);  // the end point is not drawn: two rows
  }
  SetDCPenColor(dc, previous_colour);
  SelectObject(dc, previous_pen);
}

}  // namespace

void PaintContent(HDC dc, const PanelContent& c) {
  const HubSettings& s = c.settings;
  // A repaint after a change covers the value rows only; the rule and the version rows lie
  // outside it, and drawing them there (hundreds of lines) would only be clipped away.
  RECT area{};
  GetClipBox(dc, &area);
  const bool rule_shown = area.top <= kRuleTop + 1 && area.bottom > kRuleTop &&
                          area.left <= kRuleLast && area.right > kRuleFirst;
  const bool version_shown = area.bottom > kVersionTop - 1;  // the shadow is one pixel up

  HFONT value_font = CreatePointFont(dc, s.font_size, s.font_name.c_str());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, s.font_color);
  HGDIOBJ previous_font = SelectObject(dc, value_font);
  const std::string rows[4][2] = {{"Terminals:", TerminalsValue(c.counts)},
                                  {"Channel ID:", s.channel_id},
                                  {"Check Summ:", ChecksumValue(c.checksum)},
                                  {"Time Stamp:", c.time_stamp}};
  for (int i = 0; i < 4; i++) {
    const int top = s.y + i * s.dy;
    Text(dc, s.x, top, rows[i][0]);
    if (i == 3) SetTextCharacterExtra(dc, -1);  // the time stamp's digits set a little closer
    Text(dc, s.x + s.dx, top, rows[i][1]);
  }

  SetTextCharacterExtra(dc, 0);
  if (rule_shown) PaintRule(dc);

  if (version_shown) {
    HFONT version_font = CreatePointFont(dc, 100, "Arial");
    SelectObject(dc, version_font);
    ShadowText(dc, 200, kVersionTop, "Version:");
    ShadowText(dc, 280, kVersionTop, "Build 3.0 / 15.09.2009");
    ShadowText(dc, 200, kVersionTop + 30, kNoticeLabel);
    ShadowText(dc, 280, kVersionTop + 30, kNotice);
    ShadowText(dc, 280, kVersionTop + 45, kWebAddress);
    SelectObject(dc, value_font);
    DeleteObject(version_font);
  }

  SelectObject(dc, previous_font);
  DeleteObject(value_font);
}
