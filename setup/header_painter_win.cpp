#include "header_painter_win.h"

#include <cstring>

void PaintHeader(HDC dc, const RECT& client, int divider_top, HICON icon) {
  // Height 0 leaves the size to the font mapper; the width makes the bold face wide.
  LOGFONTA description{};
  std::strcpy(description.lfFaceName, "Arial");
  description.lfWeight = FW_BOLD;
  description.lfWidth = 11;
  HFONT font = CreateFontIndirectA(&description);

  SetBkMode(dc, TRANSPARENT);
  RECT band{0, 0, client.right - client.left, divider_top - 1};
  FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  for (int step = 0; step < 3; ++step) {
    DrawIcon(dc, client.right - 45 - 35 * step, 25 - 5 * step, icon);
  }

  HGDIOBJ previous = SelectObject(dc, font);
  SetTextColor(dc, RGB(90, 90, 90));
  static const char* const kSteps[] = {"1. Close Master and Slave terminals", "2. Copy files",
                                       "3. Run Dremont"};
  for (int step = 0; step < 3; ++step) {
    TextOutA(dc, 25 + 15 * step, 5 + 19 * step, kSteps[step],
             static_cast<int>(std::strlen(kSteps[step])));
  }
  SelectObject(dc, previous);
  DeleteObject(font);
}
